#include "bench/bench_window_win.h"

#include <commctrl.h>
#include <psapi.h>

BenchWindow CreateBenchWindow(const wchar_t *className, WNDPROC procedure) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    BenchWindow window;
    window.host = CreateWindowExW(0, className, L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    window.bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, 200, 20, window.host,
                                 nullptr, wc.hInstance, nullptr);
    return window;
}

PeakMemory ReadPeakMemory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    PeakMemory peak;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        peak.workingSet = counters.PeakWorkingSetSize;
        peak.commit = counters.PeakPagefileUsage;
    }
    return peak;
}
