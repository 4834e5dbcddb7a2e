#include "updater/wizard/search_page_win.h"

#include "resource.h"
#include "updater/catalogue/catalogue_search_win.h"
#include "updater/catalogue/catalogue_texts.h"
#include "updater/wizard/page_activation.h"
#include "updater/wizard/page_texts.h"
#include "updater/wizard/select_page_win.h"

void CSearchPage::OnInitDialog() { SetItemText(IDC_CANCEL_PAGE, Localized(kCancelText)); }

void CSearchPage::Start() {
    SetItemText(IDC_HEADING, Localized(kSearchHeading));
    SetItemText(IDC_STATUS, DeviceLine(GetDeviceProfile()).c_str());
    UpdateWindow(Handle());
    SetTimer(Handle(), kWorkTimer, 1, nullptr);
}

void CSearchPage::OnTimer() {
    KillTimer(Handle(), kWorkTimer);
    ComponentList found;
    if (m_selectPage)
        m_selectPage->ClearList();
    const SearchOutcome outcome = SearchCatalogue(found);
    if (const LocalizedText *message = SearchOutcomeMessage(outcome)) {
        SetItemText(IDC_HEADING, Localized(*message));
        return;
    }
    if (m_selectPage)
        m_selectPage->SetRows(std::move(found));
    ShowPage(kSelectPage, true);
}

bool CSearchPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) {
    if (message == WM_TIMER && wParam == kWorkTimer) {
        OnTimer();
        return true;
    }
    return CWizardPage::OnMessage(message, wParam, lParam, result);
}
