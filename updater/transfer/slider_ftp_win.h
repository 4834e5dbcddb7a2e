#ifndef UPDATER_TRANSFER_SLIDER_FTP_WIN_H
#define UPDATER_TRANSFER_SLIDER_FTP_WIN_H

#include "updater/controls/skin_slider_win.h"
#include "updater/transfer/download_engine_win.h"

// The skinned slider with the download engine behind it: range 0 to the file's
// size, position the bytes received. The self-update's Download window uses it;
// its parent receives "CSliderFtp::WM_DOWNLOAD". While the size is unknown the
// range is empty and the thumb rests at the start.
class CSliderFtp : public CSkinSlider, private DownloadDisplay {
public:
    CSliderFtp() : engine_(*this, SliderFtpMessage()) {}
    ~CSliderFtp() override { engine_.Stop(); }

    bool Start(const std::wstring &local, const std::wstring &remote, int port,
               const std::wstring &user, const std::wstring &password, bool binary = true) {
        return engine_.Start(Handle() ? GetParent(Handle()) : nullptr, local, remote, port, user,
                             password, binary);
    }
    void Stop() { engine_.Stop(); }
    bool Running() const { return engine_.Running(); }
    DownloadTexts Texts() const { return engine_.Texts(); }
    UINT Message() const { return engine_.Message(); }

private:
    void Prepare(const RemoteSize &size) override;
    void Relisted(const RemoteSize &size) override;
    void Show(uint64_t received, const RemoteSize &size) override;
    void Complete() override {}

    CDownloadEngine engine_;
};

#endif
