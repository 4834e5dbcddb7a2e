#include "updater/transfer/slider_ftp_win.h"

#include <climits>

namespace {

int SliderValue(uint64_t bytes) { return bytes > uint64_t(INT_MAX) ? INT_MAX : int(bytes); }

}  // namespace

bool CSliderFtp::Start(const std::wstring &local, const std::wstring &remote, int port,
                       const std::wstring &user, const std::wstring &password, bool binary) {
    SetRange(0, 0, false);
    SetPos(0);
    return engine_.Start(Handle() ? GetParent(Handle()) : nullptr, local, remote, port, user,
                         password, binary);
}

// A size that a re-check lists anew changes the range; the thumb stays where
// the bytes have brought it.
void CSliderFtp::ShowPosition() {
    const DownloadPosition position = engine_.Position();
    const int maximum = position.size.known ? SliderValue(position.size.bytes) : 0;
    if (maximum != GetRangeMax()) SetRange(0, maximum, false);
    if (position.size.known) SetPos(SliderValue(position.received));
}
