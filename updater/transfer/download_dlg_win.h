#ifndef UPDATER_TRANSFER_DOWNLOAD_DLG_WIN_H
#define UPDATER_TRANSFER_DOWNLOAD_DLG_WIN_H

#include <windows.h>

#include "common/text_list_table.h"
#include "updater/controls/dialog_window_win.h"
#include "updater/transfer/ftp_endpoint.h"
#include "updater/transfer/slider_ftp_win.h"

// The "Download" window (dialog 104): fetches the files of a table, one after
// the other, with the skinned slider. Each key is a local file path and the
// first text of its list the remote text. Run modally it ends with 1 when every
// file arrived or one failed (the error is not shown), and with IDCANCEL (2)
// when the user cancelled.
class CDownloadDlg : public CDialogWindow {
public:
    CDownloadDlg(TextListTable files, FtpEndpoint account);

    INT_PTR DoModal(HINSTANCE instance, HWND parent = nullptr);

protected:
    void OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) override;

private:
    // Sets the title and starts the current entry; false when none is left.
    bool StartCurrent();

    TextListTable files_;
    TextListTable::const_iterator current_;
    FtpEndpoint account_;  // port, user and password; the server comes with each remote text
    CSliderFtp slider_;
};

#endif
