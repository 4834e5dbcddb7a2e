#ifndef COMMON_MESSAGE_WINDOW_WIN_H
#define COMMON_MESSAGE_WINDOW_WIN_H

#include <windows.h>

#include <functional>

// A message-only window: it never appears on a desktop, and a worker control
// run without pages posts its notices to it. Every message after creation goes
// to `handler`; one it does not take (false) gets the default handling.
// Destroyed with the object; it belongs to the thread that made it.
class CMessageWindow {
public:
    using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam)>;

    explicit CMessageWindow(Handler handler);
    ~CMessageWindow();
    CMessageWindow(const CMessageWindow &) = delete;
    CMessageWindow &operator=(const CMessageWindow &) = delete;

    // Null when the window could not be made.
    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Handler handler_;
    HWND window_ = nullptr;
};

#endif
