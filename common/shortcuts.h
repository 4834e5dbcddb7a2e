#ifndef COMMON_SHORTCUTS_H
#define COMMON_SHORTCUTS_H

#include <windows.h>

#include <string>

// Shortcuts in the special folders named by "{StartMenu}", "{Startup}", "{DeskTop}"
// and "{QuickLaunch}", each optionally followed by a sub-folder path.

// Full path of a shortcut `name` (".lnk" is added) for a token type (1 StartMenu,
// 2 Startup, 3 DeskTop, 4 QuickLaunch), in the all-users folder when `common`,
// else in the user's own. False when the type is unknown or the folder has no path.
bool BuildShortcutPath(int type, const std::wstring &subFolder, const std::wstring &name,
                       bool common, std::wstring &path);

// Saves the shortcut in the all-users folder, creating its folders, after removing
// a shortcut of that name from both the all-users and the user's folder. With
// `overwrite` false an existing all-users shortcut is left as it is. False when the
// folder and name fail IsShortcutPathAllowed or the shortcut could not be saved.
bool CreateShortcut(const std::wstring &folder, const std::wstring &name,
                    const std::wstring &description, const std::wstring &target,
                    const std::wstring &arguments, const std::wstring &workingFolder, WORD hotKey,
                    bool overwrite);

// Deletes the shortcut from the all-users and then from the user's folder. The
// result is that of the last deletion attempted; false, with nothing deleted, when
// the folder and name fail IsShortcutPathAllowed.
bool DeleteShortcut(const std::wstring &folder, const std::wstring &name);

// For an uninstall, after the shortcut itself is deleted: removes the sub-folders
// that the folder text names below its token, deepest first, in the all-users and
// then in the user's folder, each only while it is empty; a variant's walk ends at
// the first folder that stays. The token's own folder and the Start menu's
// Programs and Startup folders always stay. The number of folders removed.
int RemoveEmptyShortcutFolders(const std::wstring &folder);

#endif
