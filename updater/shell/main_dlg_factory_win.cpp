#include "updater/shell/main_dlg_win.h"

std::unique_ptr<CMainDlg> MakeMainDialog() { return std::make_unique<CMainDlg>(); }
