#ifndef UPDATER_SHELL_SHELL_MESSAGES_WIN_H
#define UPDATER_SHELL_SHELL_MESSAGES_WIN_H

#include <windows.h>

// The show request a first copy answers (from start-up and from a second copy).
constexpr UINT WM_APP_ACTIVATE = WM_APP + 1;

// Notification-area messages the program keeps registered although it has no icon
// of its own: they are consumed without effect.
struct ShellMessages {
    UINT trayNotify = 0;     // "TesselMID::WM_TRAY_NOTIFY"
    UINT trayExecute = 0;    // "TesselMID::WM_TRAY_EXECUTE"
    UINT taskbarCreated = 0; // "TaskbarCreated"
};

// Registers them once, when the process starts.
void RegisterShellMessages();
const ShellMessages &GetShellMessages();

#endif
