#ifndef SETUP_WIZARD_WIZARD_FRAME_WIN_H
#define SETUP_WIZARD_WIZARD_FRAME_WIN_H

#include <windows.h>

#include <memory>
#include <vector>

#include "common/localized_text.h"
#include "setup/wizard/wizard_flow.h"
#include "setup/wizard/wizard_page_win.h"

class CProgressPage;

// What the install and the uninstall frame share: a modal dialog whose pages
// are child dialogs over its client area above a 52-pixel button strip, the
// etched line between the two, the caption, icon and button texts, and the
// quit question. The frames themselves decide which page a button leads to.
class CWizardFrame {
public:
    CWizardFrame(int templateId, int actionButtonId, int progressPage, int completionPage,
                 const LocalizedText &quitQuestion);
    CWizardFrame(const CWizardFrame &) = delete;
    CWizardFrame &operator=(const CWizardFrame &) = delete;
    virtual ~CWizardFrame();

    // Shows the frame and returns when it has closed.
    void Run();
    // Shows one page, hides the others, sets the buttons and stores the index.
    virtual void ShowPage(int target) = 0;

protected:
    virtual void CreatePages() = 0;
    virtual void OnPrev();
    virtual void OnNext();
    virtual void OnComplete() = 0;

    void AddPage(int index, std::unique_ptr<CWizardPage> page);
    // The page whose engine starts when Install or Uninstall reaches it.
    void AddProgressPage(std::unique_ptr<CProgressPage> page);
    void Display(const PageChoice &choice);
    void Close();
    HWND Window() const { return window_; }
    int Current() const { return current_; }
    int CompletionPage() const { return completionPage_; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInit();
    void OnAction();  // Install or Uninstall
    void OnCancel();
    void OnCommand(int id);
    void PlacePages();
    void PaintEtchedLine();
    void SetButton(int id, ButtonState state);
    void SetIcons();

    int templateId_, actionButtonId_, progressPage_, completionPage_;
    CProgressPage *progress_ = nullptr;  // owned by pages_
    const LocalizedText &quitQuestion_;
    HWND window_ = nullptr;
    HICON bigIcon_ = nullptr, smallIcon_ = nullptr;
    std::vector<std::unique_ptr<CWizardPage>> pages_;  // by page index; gaps are null
    int current_ = 0;
};

// The three question boxes: caption "Setup Wizard", Yes and No, question icon.
bool AskYesNo(HWND owner, const LocalizedText &question);

#endif
