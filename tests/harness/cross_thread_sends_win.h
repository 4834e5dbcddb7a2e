#ifndef TESTS_HARNESS_CROSS_THREAD_SENDS_WIN_H
#define TESTS_HARNESS_CROSS_THREAD_SENDS_WIN_H

#include <windows.h>

// Counts the messages another thread sends to a window (a progress bar a worker
// would move itself): the window's procedure is wrapped for the object's life.
// A window's state belongs to its thread, so a sound worker control leaves the
// count at 0; `ownThread` counts the messages the window's thread sent itself.
class CrossThreadSends {
public:
    explicit CrossThreadSends(HWND window) : window_(window) {
        SetPropW(window_, kProperty, this);
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
    }
    ~CrossThreadSends() {
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        RemovePropW(window_, kProperty);
    }
    CrossThreadSends(const CrossThreadSends &) = delete;
    CrossThreadSends &operator=(const CrossThreadSends &) = delete;

    int fromOtherThreads = 0;
    int ownThread = 0;

private:
    static constexpr const wchar_t *kProperty = L"CrossThreadSends";

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto *self = static_cast<CrossThreadSends *>(GetPropW(window, kProperty));
        if (message >= WM_USER && message < WM_APP) ++(InSendMessage() ? self->fromOtherThreads : self->ownThread);
        return CallWindowProcW(self->original_, window, message, wParam, lParam);
    }

    HWND window_;
    WNDPROC original_ = nullptr;
};

#endif
