#ifndef SETUP_WIZARD_WELCOME_PAGE_WIN_H
#define SETUP_WIZARD_WELCOME_PAGE_WIN_H

#include "setup/wizard/header_static_win.h"
#include "setup/wizard/wizard_page_win.h"

// Welcome page (104, 109): the side picture from the template and the welcome
// text after the product's caption.
class CWelcomePage : public CWizardPage {
public:
    CWelcomePage(int templateId, const LocalizedText &welcome);

private:
    void OnInit() override;

    const LocalizedText &welcome_;
    CHeaderStatic text_;
};

#endif
