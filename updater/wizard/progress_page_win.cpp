#include "updater/wizard/progress_page_win.h"

#include <commctrl.h>

#include "resource.h"
#include "updater/wizard/page_texts.h"

void CProgressPage::OnInitDialog() {
    SetItemText(IDC_COMPLETE, Localized(kCompleteText));
    SetItemText(IDC_CANCEL_PAGE, Localized(kCancelText));
}

void CProgressPage::Start() {
    SendMessageW(Item(IDC_DOWNLOAD_PROGRESS), PBM_SETPOS, 0, 0);
    SendMessageW(Item(IDC_EXTRACT_PROGRESS), PBM_SETPOS, 0, 0);
    ShowItem(IDC_STATUS, true);
    ShowItem(IDC_COMPLETE, false);
    ShowItem(IDC_CANCEL_PAGE, true);
    SetItemText(IDC_LOG, L"");
    SetItemText(IDC_STATUS, L"");
}
