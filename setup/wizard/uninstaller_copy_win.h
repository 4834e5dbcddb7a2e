#ifndef SETUP_WIZARD_UNINSTALLER_COPY_WIN_H
#define SETUP_WIZARD_UNINSTALLER_COPY_WIN_H

#include <string>

// The uninstaller's move out of the folder it is to remove. Ordinary users may
// create files in the Windows Temp folder, so the copy never lies there
// itself: it goes into a new folder of its own with a random name, made fresh
// (an existing one fails) with an access list that grants SYSTEM and
// Administrators alone, so nobody else can plant a DLL beside the copy or
// change it before it starts. The copy is written from this program's own
// file through the handle start-up holds, its folder made current and the
// copy started with `arguments` after its quoted path. Windows deletes the
// copy and its folder at its next start. False when any step fails; nothing
// is left then and the caller stays where it is.
bool StartCopyFromTemp(const std::wstring &windowsDir, const std::wstring &arguments);

#endif
