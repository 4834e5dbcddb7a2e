#ifndef UPDATER_WIZARD_PROGRESS_PAGE_WIN_H
#define UPDATER_WIZARD_PROGRESS_PAGE_WIN_H

#include "updater/wizard/wizard_page_win.h"

// Page 2 (dialog 107): downloads, unpacking and installers with their log.
class CProgressPage : public CWizardPage {
public:
    void Start() override;

protected:
    void OnInitDialog() override;
};

#endif
