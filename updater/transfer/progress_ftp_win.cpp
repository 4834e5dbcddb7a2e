#include "updater/transfer/progress_ftp_win.h"

#include <commctrl.h>

// The worker sends these to the bar's thread; Stop keeps serving them while it waits.
void CProgressFtp::Prepare(const RemoteSize &) {
    if (!bar_) return;
    SendMessageW(bar_, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageW(bar_, PBM_SETPOS, 0, 0);
}

void CProgressFtp::Show(uint64_t received, const RemoteSize &size) {
    if (bar_ && size.known) SendMessageW(bar_, PBM_SETPOS, WPARAM(TransferPercent(received, size)), 0);
}

void CProgressFtp::Complete() {
    if (bar_) SendMessageW(bar_, PBM_SETPOS, 100, 0);
}
