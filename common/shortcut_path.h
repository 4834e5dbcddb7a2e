#ifndef COMMON_SHORTCUT_PATH_H
#define COMMON_SHORTCUT_PATH_H

#include <string>
#include <vector>

// Shortcut folders are written as a special-folder token and an optional sub-folder:
// "{StartMenu}\Programs\Tools", "{DeskTop}".
enum ShortcutFolderType {
    kNoShortcutFolder = 0,
    kStartMenuFolder = 1,
    kStartupFolder = 2,
    kDeskTopFolder = 3,
    kQuickLaunchFolder = 4,
};

struct ShortcutFolderText {
    int type = kNoShortcutFolder;
    std::wstring subFolder;  // normalised, without leading or trailing backslashes; may be empty
};

// Matches a token at the start of `folder` (letter case ignored). False, with type
// kNoShortcutFolder, when none of the four tokens is there.
bool ParseShortcutFolder(const std::wstring &folder, ShortcutFolderText &out);

// True when a shortcut of `name` in `folder` (a token, an optional separator and
// sub-folder, as a script writes them) stays inside the token's special folder:
// no part of the sub-folder or the name made only of dots and blanks (Windows
// reads "..", "..." and ". ." as a way up), no ":" (a drive or a stream), no
// separator at the start of the sub-folder or the name (the root, a share), and
// a known token. Installs refuse, uninstalls skip, what fails it.
bool IsShortcutPathAllowed(const std::wstring &folder, const std::wstring &name);

// The shortcut name without leading backslashes.
std::wstring ShortcutNameOf(const std::wstring &name);

// Quick Launch lives this far below the (common) application data folder.
extern const wchar_t kQuickLaunchBelowAppData[];

// Base folder + "\" + sub-folder (when given) + "\" + name + ".lnk". A Quick Launch
// base ends in "\" already; other bases have their trailing backslashes removed.
std::wstring ComposeShortcutPath(const std::wstring &base, int type, const std::wstring &subFolder,
                                 const std::wstring &name);

// The sub-folders that `subFolder` (as ParseShortcutFolder leaves it) names below
// its special folder, deepest first: "Tools\Extra" gives "Tools\Extra", "Tools".
// Empty when there are none or when a part would lead out of the special folder
// ("..", "...", a drive).
std::vector<std::wstring> ShortcutSubFolderChain(const std::wstring &subFolder);

#endif
