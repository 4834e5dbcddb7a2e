// Fetches one file through CProgressFtp, as the update wizard does, and prints
// the rate and the process's peak memory:
//   download_bench.exe SERVER PORT REMOTE_PATH LOCAL_FOLDER [READ_SIZE]
// Output: "bytes=N seconds=S rate=B/s peak_working_set=B peak_commit=B result=R".
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "bench/bench_window_win.h"
#include "updater/transfer/progress_ftp_win.h"

namespace {

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

uint64_t FileSize(const std::wstring &path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: download_bench SERVER PORT REMOTE_PATH LOCAL_FOLDER [READ_SIZE]\n");
        return 2;
    }
    const std::wstring server = argv[1];
    const int port = _wtoi(argv[2]);
    const std::wstring remote = server + L"/" + argv[3];
    const std::wstring local = argv[4];
    const uint32_t readSize = argc > 5 ? uint32_t(_wtoi(argv[5])) : 0;

    const BenchWindow window = CreateBenchWindow(L"DownloadBench", HostProcedure);
    CProgressFtp control;
    control.Attach(window.bar);
    control.SetReadSize(readSize);
    const DWORD start = GetTickCount();
    if (!control.Start(local, remote, port, kFtpUser, kFtpPassword)) return 1;
    LPARAM result = -1;
    MSG msg;
    while (result < 0 && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == control.Message() && msg.lParam != kWorkerProgress) {
            result = msg.lParam;
            break;
        }
        if (msg.message == control.Message()) control.Texts();  // as a window reads them
        DispatchMessageW(&msg);
    }
    const double seconds = (GetTickCount() - start) / 1000.0;
    control.Stop();
    const std::wstring name = remote.substr(remote.rfind(L'/') + 1);
    const uint64_t bytes = FileSize(local + name);

    const PeakMemory peak = ReadPeakMemory();
    std::printf("bytes=%llu seconds=%.3f rate=%.0f peak_working_set=%lu peak_commit=%lu result=%ld\n",
                static_cast<unsigned long long>(bytes), seconds, seconds > 0 ? bytes / seconds : 0.0,
                static_cast<unsigned long>(peak.workingSet), static_cast<unsigned long>(peak.commit),
                static_cast<long>(result));
    if (window.host) DestroyWindow(window.host);
    return result == kWorkerFinished ? 0 : 1;
}
