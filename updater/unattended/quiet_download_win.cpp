#include "updater/unattended/quiet_download_win.h"

#include <windows.h>

#include "common/message_window_win.h"
#include "updater/transfer/progress_ftp_win.h"

bool DownloadQuietly(const std::wstring &localFile, const std::wstring &remote,
                     const FtpEndpoint &account, std::wstring &errorText) {
    CProgressFtp control;
    bool ended = false;
    LPARAM end = kWorkerFailed;
    CMessageWindow notices([&](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != control.Message() || wParam != 0)
            return false;
        if (lParam == kWorkerProgress) {
            control.Texts();  // read, so that the next notice comes
        } else {
            end = lParam;
            ended = true;
        }
        return true;
    });
    if (!notices.Window()) {
        errorText = L"no window for the download's notices";
        return false;
    }
    control.Attach(nullptr, notices.Window());
    if (control.Start(localFile, remote, account.port, account.user, account.password)) {
        MSG message;
        while (!ended && GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
    }
    errorText = control.Texts().error;
    control.Stop();
    return ended && end == kWorkerFinished;
}
