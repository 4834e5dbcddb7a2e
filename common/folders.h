#ifndef COMMON_FOLDERS_H
#define COMMON_FOLDERS_H

#include <windows.h>

#include <string>

// Creates every missing folder along `path` ("C:\a\\b\c\" makes C:\a, C:\a\b and
// C:\a\b\c). True when every level exists as a folder afterwards; folders made
// before a failing level stay.
bool CreateFolderPath(const std::wstring &path);

// Removes a folder with everything in it, read-only files included. A drive root
// (or any path of at most three characters) is never touched and gives true; a
// signalled `stopEvent` ends the work with false. Links to folders (junctions) are
// removed without entering them.
bool DeleteFolderTree(const std::wstring &path, HANDLE stopEvent = nullptr);

#endif
