#ifndef BENCH_BENCH_WINDOW_WIN_H
#define BENCH_BENCH_WINDOW_WIN_H

#include <windows.h>

#include <cstddef>

// What the benchmarks of the worker controls share: a hidden window with a
// progress bar for the control to drive, and the process's peak memory.

struct BenchWindow {
    HWND host = nullptr;
    HWND bar = nullptr;
};

// Registers `className` with `procedure` and makes the window and its bar.
BenchWindow CreateBenchWindow(const wchar_t *className, WNDPROC procedure);

struct PeakMemory {
    size_t workingSet = 0;
    size_t commit = 0;
};

PeakMemory ReadPeakMemory();

#endif
