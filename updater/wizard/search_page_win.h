#ifndef UPDATER_WIZARD_SEARCH_PAGE_WIN_H
#define UPDATER_WIZARD_SEARCH_PAGE_WIN_H

#include "updater/wizard/wizard_page_win.h"

class CSelectPage;

// Page 0 (dialog 105): shown while the update server is asked what it offers.
// Its work, one timer tick after Start, is the catalogue search; rows found go to
// the selection page, which is then shown, otherwise the outcome becomes the
// heading and only Cancel is left.
class CSearchPage : public CWizardPage {
public:
    void SetSelectPage(CSelectPage *selectPage) { m_selectPage = selectPage; }
    void Start() override;

protected:
    void OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) override;

private:
    void OnTimer();

    CSelectPage *m_selectPage = nullptr;
};

#endif
