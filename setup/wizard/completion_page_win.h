#ifndef SETUP_WIZARD_COMPLETION_PAGE_WIN_H
#define SETUP_WIZARD_COMPLETION_PAGE_WIN_H

#include "setup/wizard/wizard_page_win.h"

// Completion page (108, 111): the header and the completion picture, whose
// grey background takes the system's button-face colour.
class CCompletionPage : public CWizardPage {
public:
    CCompletionPage(int templateId, const LocalizedText &header);
    ~CCompletionPage() override;

private:
    void OnInit() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR &result) override;
    void ReleasePicture();

    const LocalizedText &header_;
    HBITMAP picture_ = nullptr;
};

#endif
