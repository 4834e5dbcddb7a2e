#ifndef UPDATER_CATALOGUE_LISTING_NAMES_H
#define UPDATER_CATALOGUE_LISTING_NAMES_H

#include <string>

// Names a server listing carries become parts of local paths (the component,
// version and file below Temp, the package name below Program Files, the
// self-update's version folder). One rule decides, where a listing enters,
// which names may.
// One rule decides, where a listing enters, which names may.

enum class ListedAs { kFolder, kFile };

// Why `name` cannot be used as one part of a local path; empty when it can. Refused
// are empty names, separators, the characters :*?"<>|, control characters, names
// made only of dots and blanks (Windows drops trailing dots and blanks, so these
// name the parent or the folder itself), and files whose package name would be such.
std::wstring RefusedListingName(const std::wstring &name, ListedAs kind);

inline bool IsUsableListingName(const std::wstring &name, ListedAs kind) {
    return RefusedListingName(name, kind).empty();
}

// The folder a ZIP package unpacks into below Program Files: the file name before
// its last ".", or the whole name when it has none or only a leading one.
std::wstring ListedPackageName(const std::wstring &fileName);

// True when `folder` is exactly one level below `programFiles`: the same path
// (letter case, "/" or "\" and doubled or trailing separators aside) plus one
// name the listing rule accepts as a folder.
bool IsPackageFolderIn(const std::wstring &programFiles, const std::wstring &folder);

#endif
