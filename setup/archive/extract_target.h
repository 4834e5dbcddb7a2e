#ifndef SETUP_ARCHIVE_EXTRACT_TARGET_H
#define SETUP_ARCHIVE_EXTRACT_TARGET_H

#include <string>

// Whether extraction to a path may create the target's folders itself.

// A relative target (not starting with "\" or "/", no ":" as its second
// character) without "..\" or "../": its folders are created below the
// current folder. Other targets must have their folders made by the caller.
bool IsContainedRelativeTarget(const std::wstring &target);

#endif
