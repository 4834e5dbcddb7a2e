#ifndef UPDATER_WIZARD_SEARCH_PAGE_WIN_H
#define UPDATER_WIZARD_SEARCH_PAGE_WIN_H

#include "updater/wizard/wizard_page_win.h"

// Page 0 (dialog 105): shown while the update server is asked what it offers.
class CSearchPage : public CWizardPage {
public:
    void Start() override;

protected:
    void OnInitDialog() override;
};

#endif
