#ifndef COMMON_TRAY_ICON_OWNER_H
#define COMMON_TRAY_ICON_OWNER_H

#include <windows.h>

#include <string>

// The notification area's icons are the buttons of the toolbar at the end of the
// window chain Shell_TrayWnd > TrayNotifyWnd > SysPager > ToolbarWindow32; each
// button's data points, inside the shell's process, to a record that starts with
// the window owning the icon.

// The notification area's toolbar, or nullptr.
HWND FindTrayToolbar();
// The same chain below a given top-level window.
HWND FindTrayToolbarBelow(HWND trayWindow);

// A window that owns a notification-area icon and whose class name or title begins
// with the given prefix (ASCII letter case ignored; an empty prefix is not used).
// nullptr when no icon's owner matches.
HWND FindTrayIconOwner(const std::wstring &classPrefix, const std::wstring &titlePrefix);
// The same over the buttons of a given toolbar, in whichever process it lives.
HWND FindTrayIconOwnerIn(HWND toolbar, const std::wstring &classPrefix,
                         const std::wstring &titlePrefix);

#endif
