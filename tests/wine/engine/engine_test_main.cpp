// The engine tests' entry point. Started with "--victim <class> <title> <kind>"
// it is instead a program with one top-level window for CloseRunningApplication
// to find. On WM_CLOSE kind 1 ends with exit code 7, kind 0 ignores WM_CLOSE and
// WM_DESTROY until it is terminated, kind 2 destroys its window and runs on (as
// the shell does with a folder window).
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

namespace {

int g_kind = 0;

LRESULT CALLBACK VictimProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        if (g_kind == 1) PostQuitMessage(7);
        if (g_kind == 2) DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY && g_kind != 2) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

int RunVictim(const std::wstring &className, const std::wstring &title, int kind) {
    g_kind = kind;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = VictimProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className.c_str();
    if (!RegisterClassW(&wc)) return 2;
    HWND window = CreateWindowExW(0, className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0,
                                  200, 100, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window) return 3;
    // Ends by itself if nobody closes it.
    SetTimer(nullptr, 0, 60000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && !msg.hwnd) return 4;
        DispatchMessageW(&msg);
    }
    return int(msg.wParam);
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc == 5 && std::wstring(argv[1]) == L"--victim")
        return RunVictim(argv[2], argv[3], _wtoi(argv[4]));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
