#ifndef SETUP_WIZARD_UNINSTALLER_MOVE_H
#define SETUP_WIZARD_UNINSTALLER_MOVE_H

#include <string>

// An uninstaller cannot delete its own file, so one that runs from the folder it
// is to remove first moves to the Windows Temp folder and runs from there.

// The program's folder is the installation folder (letter case ignored; a
// trailing "\" in InstallDir makes the two differ).
bool MustMoveOut(const std::wstring &installDir, const std::wstring &programFolder);

// WindowsDir + "\Temp" and the copy's path in it.
std::wstring TempFolderOf(const std::wstring &windowsDir);
std::wstring TempCopyPath(const std::wstring &windowsDir, const std::wstring &programPath);

#endif
