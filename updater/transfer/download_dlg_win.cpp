#include "updater/transfer/download_dlg_win.h"

#include "common/localized_text.h"
#include "resource.h"
#include "updater/transfer/download_paths.h"
#include "updater/transfer/download_texts.h"

namespace {

constexpr INT_PTR kDownloadDone = 1;

}  // namespace

CDownloadDlg::CDownloadDlg(TextListTable files, FtpEndpoint account)
    : files_(std::move(files)), current_(files_.end()), account_(std::move(account)) {}

INT_PTR CDownloadDlg::DoModal(HINSTANCE instance, HWND parent) {
    return RunModal(instance, IDD_DOWNLOAD, parent);
}

void CDownloadDlg::OnInitDialog() {
    slider_.Attach(Item(IDC_DOWNLOAD_SLIDER));
    slider_.SetChannelBitmaps(IDB_SLIDER_CHANNEL, IDB_SLIDER_CHANNEL_ACTIVE, false, 0, 0, 0);
    slider_.SetThumbBitmaps(IDB_SLIDER_THUMB, IDB_SLIDER_THUMB_ACTIVE, true, kSkinKeyFromPixel, 0,
                            0);
    slider_.SetMargins(2, 3, 2, 0);
    slider_.SetDrawFocusRect(false, false);
    ShowItem(IDC_DOWNLOAD_SLIDER, true);
    current_ = files_.begin();
    if (!StartCurrent()) PostMessageW(Handle(), slider_.Message(), 0, kWorkerFinished);
}

bool CDownloadDlg::StartCurrent() {
    // Entries without a remote text are passed over.
    while (current_ != files_.end() && current_->second.empty()) ++current_;
    if (current_ == files_.end()) return false;
    SetWindowTextW(Handle(), DownloadTitle(current_->first).c_str());
    SetItemText(IDC_DOWNLOAD_STATUS, Localized(download_text::kDownloadingFiles));
    if (!slider_.Start(current_->first, current_->second.front(), account_.port, account_.user,
                       account_.password, true))
        PostMessageW(Handle(), slider_.Message(), 0, kWorkerFailed);
    return true;
}

bool CDownloadDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) {
    if (message == slider_.Message() && wParam == 0) {
        slider_.ShowPosition();
        switch (lParam) {
            case kWorkerProgress: {
                const DownloadTexts texts = slider_.Texts();
                SetItemText(IDC_DOWNLOAD_STATUS,
                            DownloadStatusLine(Localized(download_text::kDownloadingPrefix),
                                               texts.size, texts.speed)
                                .c_str());
                break;
            }
            case kWorkerFinished:
                slider_.Stop();
                if (current_ != files_.end()) ++current_;
                if (!StartCurrent()) EndModal(kDownloadDone);
                break;
            case kWorkerFailed:
                slider_.Stop();
                EndModal(kDownloadDone);
                break;
            default:  // stopped: only after Cancel, which has ended the dialog
                break;
        }
        result = 0;
        return true;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        slider_.Stop();
        EndModal(IDCANCEL);
        return true;
    }
    if (message == WM_DESTROY) slider_.Stop();
    return false;
}
