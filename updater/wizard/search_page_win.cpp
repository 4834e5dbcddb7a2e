#include "updater/wizard/search_page_win.h"

#include "resource.h"
#include "updater/wizard/page_texts.h"

void CSearchPage::OnInitDialog() { SetItemText(IDC_CANCEL_PAGE, Localized(kCancelText)); }

void CSearchPage::Start() {
    SetItemText(IDC_HEADING, Localized(kSearchHeading));
    SetItemText(IDC_STATUS, DeviceLine(GetDeviceProfile()).c_str());
    // The catalogue search that follows is not built yet: the page stays as it is.
}
