#include "updater/wizard/search_page_win.h"

#include "resource.h"
#include "updater/catalogue/catalogue_search_win.h"
#include "updater/catalogue/catalogue_texts.h"
#include "updater/wizard/page_activation.h"
#include "updater/wizard/page_texts.h"

namespace {

UINT SearchMessage() {
    static const UINT message = RegisterWindowMessageW(L"CSearchPage::WM_SEARCH");
    return message;
}

}  // namespace

void CSearchPage::OnInitDialog() { SetItemText(IDC_CANCEL_PAGE, Localized(kCancelText)); }

void CSearchPage::Start() {
    SetItemText(IDC_HEADING, Localized(kSearchHeading));
    SetItemText(IDC_STATUS, DeviceLine(GetDeviceProfile()).c_str());
    UpdateWindow(Handle());
    SetTimer(Handle(), kWorkTimer, 1, nullptr);
}

void CSearchPage::OnTimer() {
    KillTimer(Handle(), kWorkTimer);
    m_worker.Stop();
    Host().ForgetFoundRows();
    m_result.Put(Result());
    const bool started = m_worker.Start(Handle(), SearchMessage(), [this] {
        Result result;
        result.outcome = SearchCatalogue(result.rows, SecondaryServer(),
                                         [this] { return m_worker.StopRequested(); });
        m_result.Put(std::move(result));
        m_worker.NotifyEnd(m_worker.StopRequested() ? kWorkerStopped : kWorkerFinished);
    });
    if (!started)
        SetItemText(IDC_HEADING, Localized(*SearchOutcomeMessage(SearchOutcome::kConnectFailed)));
}

void CSearchPage::OnSearchEnded(LPARAM code) {
    m_worker.Stop();
    if (code != kWorkerFinished)
        return;
    Result result = m_result.Take();
    if (const LocalizedText *message = SearchOutcomeMessage(result.outcome)) {
        SetItemText(IDC_HEADING, Localized(*message));
        return;
    }
    Host().ShowFoundRows(std::move(result.rows));
}

bool CSearchPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) {
    if (message == WM_TIMER && wParam == kWorkTimer) {
        OnTimer();
        return true;
    }
    if (message == SearchMessage() && message != 0 && wParam == 0) {
        OnSearchEnded(lParam);
        result = 0;
        return true;
    }
    if (message == WM_DESTROY)
        m_worker.Stop();
    return CWizardPage::OnMessage(message, wParam, lParam, result);
}
