#include "tests/wine/download/download_host_win.h"

#include <commctrl.h>

#include "tests/harness/message_pump_win.h"

namespace {

const wchar_t kClass[] = L"DownloadTestHost";

}  // namespace

DownloadHost::DownloadHost() {
    static bool registered = false;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!registered) {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Procedure;
        wc.hInstance = instance;
        wc.lpszClassName = kClass;
        registered = RegisterClassW(&wc) != 0;
    }
    window_ = CreateWindowExW(0, kClass, L"Download test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              400, 200, nullptr, nullptr, instance, this);
    bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 10, 10, 240, 20, window_,
                           reinterpret_cast<HMENU>(1010), instance, nullptr);
    static_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 50, 240, 17, window_,
                              reinterpret_cast<HMENU>(1014), instance, nullptr);
}

DownloadHost::~DownloadHost() {
    if (window_) DestroyWindow(window_);
}

void DownloadHost::Watch(UINT message, std::function<DownloadTexts()> texts) {
    message_ = message;
    texts_ = std::move(texts);
}

void DownloadHost::Clear() {
    notices.clear();
    progressTexts.clear();
    endTexts = DownloadTexts();
}

int DownloadHost::Ends() const {
    int ends = 0;
    for (LPARAM n : notices)
        if (n != kWorkerProgress) ++ends;
    return ends;
}

void DownloadHost::Pump(DWORD ms) { PumpFor(ms); }

bool DownloadHost::PumpUntilEnd(DWORD ms) {
    const DWORD start = GetTickCount();
    while (Ends() == 0) {
        if (GetTickCount() - start >= ms) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (Ends() == 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

LRESULT CALLBACK DownloadHost::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *host = reinterpret_cast<DownloadHost *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (host && host->message_ && message == host->message_ && wParam == 0) {
        host->notices.push_back(lParam);
        const DownloadTexts texts = host->texts_ ? host->texts_() : DownloadTexts();
        if (lParam == kWorkerProgress) host->progressTexts.push_back(texts);
        else host->endTexts = texts;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
