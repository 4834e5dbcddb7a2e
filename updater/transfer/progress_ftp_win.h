#ifndef UPDATER_TRANSFER_PROGRESS_FTP_WIN_H
#define UPDATER_TRANSFER_PROGRESS_FTP_WIN_H

#include <windows.h>

#include "updater/transfer/download_engine_win.h"

// A progress bar (0-100 percent) with the download engine behind it; the
// update wizard's progress page fetches component packages with it. The parent
// of the bar receives "CProgressFtp::WM_DOWNLOAD" and hands every notice to
// ShowPosition, which moves the bar on the window's thread.
class CProgressFtp {
public:
    CProgressFtp() : engine_(ProgressFtpMessage()) {}

    // The bar (none in a run without windows) and the window that gets the
    // notices (the bar's parent unless given).
    void Attach(HWND progressBar, HWND notifyWindow = nullptr);
    HWND Handle() const { return bar_; }

    bool Start(const std::wstring &local, const std::wstring &remote, int port,
               const std::wstring &user, const std::wstring &password, bool binary = true);
    void Stop() { engine_.Stop(); }
    void SetReadSize(uint32_t bytes) { engine_.SetReadSize(bytes); }
    bool Running() const { return engine_.Running(); }
    DownloadTexts Texts() const { return engine_.Texts(); }
    UINT Message() const { return engine_.Message(); }

    // Moves the bar to what the worker last published.
    void ShowPosition();

private:
    HWND bar_ = nullptr;
    HWND notify_ = nullptr;
    CDownloadEngine engine_;  // last: its worker ends before the bar handle goes
};

#endif
