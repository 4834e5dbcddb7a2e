#ifndef COMMON_SYSTEM_FOLDERS_H
#define COMMON_SYSTEM_FOLDERS_H

#include <windows.h>

#include <string>

// The folder of the running program, without a trailing backslash.
std::wstring GetProgramFolder();
// The running executable's full file name (empty when it cannot be read).
std::wstring GetProgramFile();

// Path of the shell special folder `folderId` (a CSIDL_ value such as
// CSIDL_PROGRAM_FILES); with `displayName`, also the folder's display name. On
// failure `path` (and the display name) are empty and the result is false.
bool GetSpecialFolder(std::wstring &path, std::wstring *displayName, int folderId);

// New attributes = (current | set) & ~clear. False when the file does not exist or
// the change fails.
bool ChangeFileAttributes(const std::wstring &file, DWORD set, DWORD clear);

#endif
