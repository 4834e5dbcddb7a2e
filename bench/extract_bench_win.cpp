// The extraction control on one package under Wine (or Windows), timed:
//   extract_bench.exe ARCHIVE DESTINATION
// Prints the wall time and the end notice; status 0 when the run finished.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>

#include "updater/transfer/progress_extract_win.h"

namespace {
LPARAM g_end = 0;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CProgressExtract::Message()) {
        g_end = lParam;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc != 3) {
        std::fputs("usage: extract_bench.exe ARCHIVE DESTINATION\n", stderr);
        return 2;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ExtractBench";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, L"ExtractBench", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 80, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, 200, 20, window, nullptr,
                               wc.hInstance, nullptr);
    CProgressExtract control;
    control.Attach(bar);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!control.Start(argv[2], argv[1])) return 1;
    MSG msg;
    while (!g_end && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    QueryPerformanceCounter(&end);
    control.Stop();
    std::printf("%.3f s, end notice %ld, bar %d\n", double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart),
                long(g_end), int(SendMessageW(bar, PBM_GETPOS, 0, 0)));
    if (g_end != CProgressExtract::kFinished) std::wprintf(L"%ls\n", control.ErrorText().c_str());
    DestroyWindow(window);
    return g_end == CProgressExtract::kFinished ? 0 : 1;
}
