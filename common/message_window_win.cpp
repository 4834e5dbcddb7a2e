#include "common/message_window_win.h"

namespace {

const wchar_t kWindowClass[] = L"TesselMessageWindow";

}  // namespace

CMessageWindow::CMessageWindow(Handler handler) : handler_(std::move(handler)) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);  // fails harmlessly once the class exists
    window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                              this);
}

CMessageWindow::~CMessageWindow() {
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK CMessageWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *self = reinterpret_cast<CMessageWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    else if (self && self->handler_ && self->handler_(message, wParam, lParam)) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}
