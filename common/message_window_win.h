#ifndef COMMON_MESSAGE_WINDOW_WIN_H
#define COMMON_MESSAGE_WINDOW_WIN_H

#include <windows.h>

// A message-only window (never shown, never on a desktop) for code that runs
// without windows but receives the worker controls' posted notices. `owner`
// is kept as the window's user data (GWLP_USERDATA) from WM_NCCREATE on, for
// `procedure` to find. Null when the window could not be made.
HWND CreateMessageWindow(const wchar_t *className, WNDPROC procedure, void *owner);

// The owner that CreateMessageWindow stored with `window`.
template <typename Owner>
Owner *MessageWindowOwner(HWND window) {
    return reinterpret_cast<Owner *>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// What every such procedure does first: keeps the owner on WM_NCCREATE.
inline void KeepMessageWindowOwner(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
}

#endif
