#include "common/close_program_win.h"

#include <shellapi.h>

#include "common/kernel_handle_win.h"
#include "common/tray_icon_owner.h"
#include "common/worker_thread_win.h"

namespace {

// The notification icons a marbo program adds.
const UINT kTrayIconIds[] = {1, 2008};
// How long a window gets for WM_CLOSE and then for WM_DESTROY.
constexpr DWORD kCloseWaitMs = 1000;

// The window's process, held open before the window is asked anything, so that
// a process that ends on its own cannot hand its identifier to another one.
CKernelHandle OpenWindowProcess(HWND window, DWORD access) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == 0) return CKernelHandle();
    return CKernelHandle(OpenProcess(access, FALSE, pid));
}

void TerminateIfRunning(const CKernelHandle &process) {
    if (process && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT)
        TerminateProcess(process.Get(), 0);
}

}  // namespace

bool IsOwnProcessWindow(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid == GetCurrentProcessId();
}

bool CloseTrayIconOwner(const std::wstring &classPrefix, const std::wstring &titlePrefix) {
    if (classPrefix.empty() && titlePrefix.empty()) return false;
    HWND owner = FindTrayIconOwner(classPrefix, titlePrefix);
    if (!owner || IsOwnProcessWindow(owner)) return false;
    const CKernelHandle process = OpenWindowProcess(owner, PROCESS_TERMINATE | SYNCHRONIZE);
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

void CloseWindowAndProcess(HWND window) {
    const CKernelHandle process = OpenWindowProcess(window, PROCESS_TERMINATE | SYNCHRONIZE);
    // Each wait ends early once the process has gone. It serves messages sent
    // to this thread meanwhile: a closing window hands activation to another
    // window, often ours, and waits for that window's thread to answer.
    auto waitForExit = [&process] {
        if (!process) {
            Sleep(kCloseWaitMs);
            return false;
        }
        return WaitDispatchingSent(process.Get(), kCloseWaitMs);
    };
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!waitForExit()) {
        PostMessageW(window, WM_DESTROY, 0, 0);
        waitForExit();
    }
    if (IsWindow(window)) TerminateIfRunning(process);
}
