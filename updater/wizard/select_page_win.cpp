#include "updater/wizard/select_page_win.h"

#include "resource.h"
#include "updater/wizard/page_texts.h"

void CSelectPage::OnInitDialog() {
    SetItemText(IDC_CHECK_ALL, Localized(kCheckAllText));
    SetItemText(IDC_START_INSTALL, Localized(kStartInstallText));
    SetItemText(IDC_CANCEL_PAGE, Localized(kCancelText));
}

void CSelectPage::Start() {
    SetItemText(IDC_HEADING, Localized(kSelectHeading));
    SetItemText(IDC_CHECK_ALL, Localized(kCheckAllText));
    SetItemText(IDC_STATUS, DeviceLine(GetDeviceProfile()).c_str());
}
