#ifndef COMMON_FOLDER_LEVELS_H
#define COMMON_FOLDER_LEVELS_H

#include <string>
#include <vector>

// The folders a path passes through, outermost first, each without a trailing
// backslash except a drive root: "C:\a\\b\c\" -> "C:\", "C:\a", "C:\a\b", "C:\a\b\c".
// Doubled backslashes are collapsed; a network path starts at its share
// ("\\server\share"), a path starting with "\" at that root.
std::vector<std::wstring> FolderPathLevels(const std::wstring &path);

// True for paths a tree deletion must never touch: empty, a drive root, "\", a bare
// network server or share (also when written with extra or trailing backslashes).
bool IsProtectedFolderPath(const std::wstring &path);

// True when a component is "." or "..": such a path may lead above the folder it
// seems to name.
bool HasRelativeComponent(const std::wstring &path);

#endif
