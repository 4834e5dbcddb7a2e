#include "common/message_window_win.h"

HWND CreateMessageWindow(const wchar_t *className, WNDPROC procedure, void *owner) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    // A second registration of the same class fails harmlessly.
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, owner);
}
