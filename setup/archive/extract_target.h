#ifndef SETUP_ARCHIVE_EXTRACT_TARGET_H
#define SETUP_ARCHIVE_EXTRACT_TARGET_H

#include <string>
#include <vector>

// Which folders extraction to a path may create for the caller.

// A relative target (not starting with "\" or "/", no ":" as its second
// character) without "..\" or "../": its folders are created below the
// current folder. Other targets must have their folders made by the caller.
bool IsContainedRelativeTarget(const std::wstring &target);

// The folders that lead to `path`, shortest first ("a\b\c" gives "a", "a\b"
// and, with includeLast, "a\b\c"). Both separators count; a drive ("C:") or
// the "\\server\share" of a network path is never in the list.
std::vector<std::wstring> FolderChain(const std::wstring &path, bool includeLast);

#endif
