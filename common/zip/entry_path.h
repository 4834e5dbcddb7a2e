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

// Where an entry goes below `destination`: the folder (its "/" turned into
// "\", doubled separators collapsed, trailing ones removed), one "\" and the
// entry's relative path. False, with `target` empty, when the name is refused
// by EntryNameToRelativePath or the destination is empty or only separators:
// an accepted target always lies inside the destination.
bool BuildEntryTarget(const std::wstring &destination, const std::wstring &name, std::wstring &target);

#endif
