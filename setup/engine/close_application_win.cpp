#include "setup/engine/close_application_win.h"

#include <windows.h>

#include <shellapi.h>

#include "common/text.h"
#include "common/tray_icon_owner.h"
#include "setup/script/setup_startup.h"

namespace {

// The notification icons a marbo program adds.
const UINT kTrayIconIds[] = {1, 2008};
// How long a window gets for WM_CLOSE and then for WM_DESTROY.
constexpr DWORD kCloseWaitMs = 1000;

bool OwnedByThisProcess(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid == GetCurrentProcessId();
}

// The window's process, held open before the window is asked anything, so that
// a process that ends on its own cannot hand its identifier to another one.
HANDLE OpenWindowProcess(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == 0) return nullptr;
    return OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
}

void TerminateIfRunning(HANDLE process) {
    if (!process) return;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 0);
    CloseHandle(process);
}

bool CloseTrayOwner(const std::wstring &name, const std::wstring &title) {
    if (name.empty() && title.empty()) return false;
    HWND owner = FindTrayIconOwner(name, title);
    if (!owner || OwnedByThisProcess(owner)) return false;
    HANDLE process = OpenWindowProcess(owner);
    for (UINT id : kTrayIconIds) {
        NOTIFYICONDATAW icon = {};
        icon.cbSize = NOTIFYICONDATAW_V1_SIZE;
        icon.hWnd = owner;
        icon.uID = id;
        Shell_NotifyIconW(NIM_DELETE, &icon);
    }
    TerminateIfRunning(process);
    return true;
}

struct WindowSearch {
    const std::wstring &name;
    const std::wstring &title;
    HWND byClass = nullptr;
    HWND byTitle = nullptr;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM data) {
    WindowSearch &search = *reinterpret_cast<WindowSearch *>(data);
    if (OwnedByThisProcess(window)) return TRUE;
    wchar_t text[261] = {};
    if (!search.name.empty() && !search.byClass && GetClassNameW(window, text, 260) > 0 &&
        StartsWithNoCase(text, search.name)) {
        search.byClass = window;
        TraceSetup(std::wstring(L"\t szClassName : ") + text + L"\n");
        return FALSE;  // a class match wins over any title match
    }
    if (!search.title.empty() && !search.byTitle) {
        text[0] = L'\0';
        if (GetWindowTextW(window, text, 260) > 0 && StartsWithNoCase(text, search.title)) {
            search.byTitle = window;
            TraceSetup(std::wstring(L"\t szWindowTitle : ") + text + L"\n");
            if (search.name.empty()) return FALSE;
        }
    }
    return TRUE;
}

bool CloseTopLevelWindow(const std::wstring &name, const std::wstring &title) {
    if (name.empty() && title.empty()) return false;
    WindowSearch search{name, title};
    TraceSetup(L"{\n");
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&search));
    TraceSetup(L"}\n");
    HWND window = search.byClass ? search.byClass : search.byTitle;
    if (!window) return false;
    HANDLE process = OpenWindowProcess(window);
    // Each wait ends early once the process has gone.
    auto waitForExit = [process] {
        if (!process) {
            Sleep(kCloseWaitMs);
            return false;
        }
        return WaitForSingleObject(process, kCloseWaitMs) == WAIT_OBJECT_0;
    };
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!waitForExit()) {
        PostMessageW(window, WM_DESTROY, 0, 0);
        waitForExit();
    }
    // A window that went as asked leaves its process alone: a folder window
    // titled like the product lives in the shell's process, which must go on.
    if (IsWindow(window))
        TerminateIfRunning(process);
    else if (process)
        CloseHandle(process);
    return true;
}

bool CloseBy(const std::wstring &name, const std::wstring &title) {
    bool tray = CloseTrayOwner(name, title);
    bool window = CloseTopLevelWindow(name, title);
    return tray || window;
}

}  // namespace

bool CloseRunningApplication(const std::wstring &name, const std::wstring &title) {
    if (CloseBy(name, title)) return true;
    if (EqualsNoCase(title, L"marboMusic")) return CloseBy(L"TuneForge", L"Tune Forge");
    return false;
}
