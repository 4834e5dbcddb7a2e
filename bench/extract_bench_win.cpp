// The extraction control on one package under Wine (or Windows), timed:
//   extract_bench.exe ARCHIVE DESTINATION
// Prints the wall time, the end notice, the bar's position and the process's
// peak memory; status 0 when the run finished.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>

#include "bench/bench_window_win.h"
#include "common/crypto/file_sha256_win.h"
#include "updater/transfer/progress_extract_win.h"

#include <memory>

namespace {
LPARAM g_end = 0;
CProgressExtract *g_control = nullptr;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CProgressExtract::Message()) {
        if (lParam != kWorkerProgress) g_end = lParam;
        else if (g_control) g_control->ShowPosition();
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
    const BenchWindow window = CreateBenchWindow(L"ExtractBench", Procedure);
    CProgressExtract control;
    control.Attach(window.bar);
    g_control = &control;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!control.Start(argv[2], argv[1])) return 1;
    MSG msg;
    while (!g_end && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    QueryPerformanceCounter(&end);
    control.Stop();
    // What a signed-mode run adds before it unpacks: the package's SHA-256.
    LARGE_INTEGER hashStart, hashEnd;
    QueryPerformanceCounter(&hashStart);
    std::unique_ptr<ReleaseSigner> crypto = MakeSystemCrypto();
    Sha256Digest digest{};
    ULONGLONG hashed = 0;
    const bool hashOk = crypto && HashFileSha256(*crypto, argv[1], nullptr, digest, hashed) == FileHashResult::kDone;
    QueryPerformanceCounter(&hashEnd);
    const PeakMemory peak = ReadPeakMemory();
    std::printf("%.3f s, end notice %ld, bar %d, peak working set %lu, peak commit %lu, "
                "hash %.3f s%s\n",
                double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart), long(g_end),
                int(SendMessageW(window.bar, PBM_GETPOS, 0, 0)),
                static_cast<unsigned long>(peak.workingSet), static_cast<unsigned long>(peak.commit),
                double(hashEnd.QuadPart - hashStart.QuadPart) / double(frequency.QuadPart),
                hashOk ? "" : " (failed)");
    if (g_end != kWorkerFinished) std::wprintf(L"%ls\n", control.ErrorText().c_str());
    DestroyWindow(window.host);
    return g_end == kWorkerFinished ? 0 : 1;
}
