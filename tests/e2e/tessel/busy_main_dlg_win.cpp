// The main-window factory of the test build TesselBusyTest.exe: its main window
// also answers "TesselTest::WM_SET_BUSY" (wParam 1 sets, 0 clears the busy flag),
// so that a test can hold the window in the state an installation puts it in.
// The shipped program is linked with the ordinary factory and has no such message.
#include "updater/wizard/busy_flag.h"
#include "updater/shell/main_dlg_win.h"

namespace {

class CBusyTestMainDlg : public CMainDlg {
protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) override {
        static const UINT setBusy = RegisterWindowMessageW(L"TesselTest::WM_SET_BUSY");
        if (message == setBusy) {
            SetInstallationBusy(wParam != 0);
            result = 1;
            return true;
        }
        return CMainDlg::OnMessage(message, wParam, lParam, result);
    }
};

}  // namespace

std::unique_ptr<CMainDlg> MakeMainDialog() { return std::make_unique<CBusyTestMainDlg>(); }
