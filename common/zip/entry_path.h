#ifndef COMMON_ZIP_ENTRY_PATH_H
#define COMMON_ZIP_ENTRY_PATH_H

#include <string>

// Entry names come from the archive, so they are data, not paths: before one
// becomes part of a local path it must name something below the destination.

// The entry name as a relative local path ("/" and "\" become "\", doubled
// separators collapse, trailing separators go). False, with `relative` empty,
// when the name would leave the destination or names nothing: empty, absolute
// ("\x", "/x", "\\server\share"), a drive ("C:", "C:x"), any ":" (also
// alternate data streams), a component ".", ".." or one that Windows trims to
// those (trailing dots and spaces: "..." or ".. "), control characters or
// one of <>"|?*.
bool EntryNameToRelativePath(const std::wstring &name, std::wstring &relative);

#endif
