#include "updater/unattended/quiet_download_win.h"

#include <windows.h>

#include "common/message_window_win.h"
#include "updater/transfer/progress_ftp_win.h"

namespace {

const wchar_t kWindowClass[] = L"TesselQuietDownload";

struct Download {
    CProgressFtp control;
    bool ended = false;
    LPARAM end = kWorkerFailed;
};

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    KeepMessageWindowOwner(window, message, lParam);
    auto *download = MessageWindowOwner<Download>(window);
    if (download && message == download->control.Message() && wParam == 0) {
        if (lParam == kWorkerProgress) {
            download->control.Texts();  // read, so that the next notice comes
        } else {
            download->end = lParam;
            download->ended = true;
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool DownloadQuietly(const std::wstring &localFile, const std::wstring &remote,
                     const FtpEndpoint &account, std::wstring &errorText) {
    Download download;
    HWND window = CreateMessageWindow(kWindowClass, Procedure, &download);
    if (!window) {
        errorText = L"no window for the download's notices";
        return false;
    }
    download.control.Attach(nullptr, window);
    if (download.control.Start(localFile, remote, account.port, account.user, account.password)) {
        MSG message;
        while (!download.ended && GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
    }
    errorText = download.control.Texts().error;
    download.control.Stop();
    DestroyWindow(window);
    return download.ended && download.end == kWorkerFinished;
}
