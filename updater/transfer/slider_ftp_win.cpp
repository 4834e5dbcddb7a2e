#include "updater/transfer/slider_ftp_win.h"

#include <climits>

namespace {

int SliderValue(uint64_t bytes) { return bytes > uint64_t(INT_MAX) ? INT_MAX : int(bytes); }

}  // namespace

// The slider's setters take its lock, so the worker calls them directly.
void CSliderFtp::Prepare(const RemoteSize &size) {
    SetRange(0, size.known ? SliderValue(size.bytes) : 0, false);
    SetPos(0);
}

// The thumb stays where the bytes have brought it.
void CSliderFtp::Relisted(const RemoteSize &size) { SetRange(0, SliderValue(size.bytes), false); }

void CSliderFtp::Show(uint64_t received, const RemoteSize &size) {
    if (size.known) SetPos(SliderValue(received));
}
