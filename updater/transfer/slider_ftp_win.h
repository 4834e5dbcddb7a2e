#ifndef UPDATER_TRANSFER_SLIDER_FTP_WIN_H
#define UPDATER_TRANSFER_SLIDER_FTP_WIN_H

#include "updater/controls/skin_slider_win.h"
#include "updater/transfer/download_engine_win.h"

// The skinned slider with the download engine behind it: range 0 to the file's
// size, position the bytes received. The self-update's Download window uses it;
// its parent receives "CSliderFtp::WM_DOWNLOAD" and hands every notice to
// ShowPosition, which moves the thumb on the window's thread. While the size is
// unknown the range is empty and the thumb rests at the start.
class CSliderFtp : public CSkinSlider {
public:
    CSliderFtp() : engine_(SliderFtpMessage()) {}
    ~CSliderFtp() override { engine_.Stop(); }

    bool Start(const std::wstring &local, const std::wstring &remote, int port,
               const std::wstring &user, const std::wstring &password, bool binary = true);
    void Stop() { engine_.Stop(); }
    bool Running() const { return engine_.Running(); }
    DownloadTexts Texts() const { return engine_.Texts(); }
    UINT Message() const { return engine_.Message(); }

    // Moves the thumb to what the worker last published.
    void ShowPosition();

private:
    CDownloadEngine engine_;
};

#endif
