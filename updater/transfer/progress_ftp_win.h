#ifndef UPDATER_TRANSFER_PROGRESS_FTP_WIN_H
#define UPDATER_TRANSFER_PROGRESS_FTP_WIN_H

#include <windows.h>

#include "updater/transfer/download_engine_win.h"

// A progress bar (0-100 percent) with the download engine behind it; the
// update wizard's progress page fetches component packages with it. The parent
// of the bar receives "CProgressFtp::WM_DOWNLOAD".
class CProgressFtp : private DownloadDisplay {
public:
    CProgressFtp() : engine_(*this, ProgressFtpMessage()) {}

    void Attach(HWND progressBar) { bar_ = progressBar; }
    HWND Handle() const { return bar_; }

    bool Start(const std::wstring &local, const std::wstring &remote, int port,
               const std::wstring &user, const std::wstring &password, bool binary = true) {
        return engine_.Start(bar_ ? GetParent(bar_) : nullptr, local, remote, port, user,
                             password, binary);
    }
    void Stop() { engine_.Stop(); }
    void SetReadSize(uint32_t bytes) { engine_.SetReadSize(bytes); }
    bool Running() const { return engine_.Running(); }
    DownloadTexts Texts() const { return engine_.Texts(); }
    UINT Message() const { return engine_.Message(); }

private:
    void Prepare(const RemoteSize &) override;
    void Relisted(const RemoteSize &size) override { Prepare(size); }
    void Show(uint64_t received, const RemoteSize &size) override;
    void Complete() override;

    HWND bar_ = nullptr;
    CDownloadEngine engine_;  // last: its worker ends before the bar handle goes
};

#endif
