#include "updater/shell/shell_messages_win.h"

namespace {
ShellMessages g_messages;
}

void RegisterShellMessages() {
    g_messages.trayNotify = RegisterWindowMessageW(L"TesselMID::WM_TRAY_NOTIFY");
    g_messages.trayExecute = RegisterWindowMessageW(L"TesselMID::WM_TRAY_EXECUTE");
    g_messages.taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
}

const ShellMessages &GetShellMessages() { return g_messages; }
