#ifndef SETUP_WIZARD_UNINSTALLER_MOVE_H
#define SETUP_WIZARD_UNINSTALLER_MOVE_H

#include <cstdint>
#include <string>

// An uninstaller cannot delete its own file, so one that runs from the folder it
// is to remove first moves to a folder of its own below the Windows Temp folder
// and runs from there.

// The program's folder is the installation folder (letter case ignored; a
// trailing "\" in InstallDir makes the two differ).
bool MustMoveOut(const std::wstring &installDir, const std::wstring &programFolder);

// WindowsDir + "\Temp\marboSetup-" and `random` as 16 hexadecimal digits: a
// name nobody can take before the uninstaller makes the folder.
std::wstring CopyFolderPath(const std::wstring &windowsDir, uint64_t random);
// The copy's path in that folder: the program's own file name.
std::wstring CopyPathIn(const std::wstring &copyFolder, const std::wstring &programPath);

#endif
