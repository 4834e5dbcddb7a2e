#ifndef SETUP_WIZARD_WIZARD_PAGE_WIN_H
#define SETUP_WIZARD_WIZARD_PAGE_WIN_H

#include <windows.h>

#include <string>

#include "common/localized_text.h"
#include "setup/wizard/header_static_win.h"

// One page of a wizard frame: a child dialog made from its template, laid over
// the frame's page area. Pages with a header (static 1013) paint it themselves
// and draw a line in the button-shadow colour under it.
class CWizardPage {
public:
    explicit CWizardPage(int templateId);
    CWizardPage(const CWizardPage &) = delete;
    CWizardPage &operator=(const CWizardPage &) = delete;
    virtual ~CWizardPage();

    bool Create(HWND frame);
    HWND Window() const { return window_; }
    int TemplateId() const { return templateId_; }

protected:
    // WM_INITDIALOG; window_ is set.
    virtual void OnInit() {}
    // Every other message; true when handled (the dialog result is `result`).
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR &result);

    void UseHeader(const LocalizedText &text);
    void SetItemText(int id, const LocalizedText &text);
    void SetItemText(int id, const std::wstring &text);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PaintHeaderLine();

    int templateId_;
    HWND window_ = nullptr;
    CHeaderStatic header_;
    bool hasHeader_ = false;
};

#endif
