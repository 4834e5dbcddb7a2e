#ifndef UPDATER_WIZARD_SELECT_PAGE_WIN_H
#define UPDATER_WIZARD_SELECT_PAGE_WIN_H

#include "updater/wizard/wizard_page_win.h"

// Page 1 (dialog 106): the offered components with check boxes.
class CSelectPage : public CWizardPage {
public:
    void Start() override;

protected:
    void OnInitDialog() override;
};

#endif
