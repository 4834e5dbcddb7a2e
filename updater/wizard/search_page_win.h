#ifndef UPDATER_WIZARD_SEARCH_PAGE_WIN_H
#define UPDATER_WIZARD_SEARCH_PAGE_WIN_H

#include "common/locked_value.h"
#include "common/worker_thread_win.h"
#include "updater/catalogue/catalogue_walk.h"
#include "updater/wizard/wizard_page_win.h"

// Page 0 (dialog 105): shown while the update server is asked what it offers.
// Its work, one timer tick after Start, is the catalogue search on a worker
// thread, so the page keeps painting and its Cancel answers however slow the
// server is. Rows found go to the main window, which shows the selection page;
// otherwise the outcome becomes the heading and only Cancel is left.
class CSearchPage : public CWizardPage {
public:
    void Start() override;
    // Abandons a search under way: the worker ends after the server command in
    // flight (the main window closes).
    void StopSearch() { m_worker.Stop(); }

protected:
    void OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) override;

private:
    struct Result {
        SearchOutcome outcome = SearchOutcome::kConnectFailed;
        ComponentList rows;
    };

    void OnTimer();
    void OnSearchEnded(LPARAM code);

    LockedValue<Result> m_result;
    CWorkerThread m_worker;  // last: joined before the result goes
};

#endif
