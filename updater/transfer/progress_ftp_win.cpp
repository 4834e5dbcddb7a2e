#include "updater/transfer/progress_ftp_win.h"

#include <commctrl.h>

void CProgressFtp::Attach(HWND progressBar, HWND notifyWindow) {
    bar_ = progressBar;
    notify_ = notifyWindow ? notifyWindow : bar_ ? GetParent(bar_) : nullptr;
    if (bar_) SendMessageW(bar_, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
}

bool CProgressFtp::Start(const std::wstring &local, const std::wstring &remote, int port,
                         const std::wstring &user, const std::wstring &password, bool binary) {
    if (bar_) SendMessageW(bar_, PBM_SETPOS, 0, 0);
    return engine_.Start(notify_, local, remote, port, user, password, binary);
}

void CProgressFtp::ShowPosition() {
    if (!bar_) return;
    const DownloadPosition position = engine_.Position();
    if (position.complete)
        SendMessageW(bar_, PBM_SETPOS, 100, 0);
    else if (position.size.known)
        SendMessageW(bar_, PBM_SETPOS, WPARAM(TransferPercent(position.received, position.size)), 0);
}
