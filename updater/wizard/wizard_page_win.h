#ifndef UPDATER_WIZARD_WIZARD_PAGE_WIN_H
#define UPDATER_WIZARD_WIZARD_PAGE_WIN_H

#include "updater/shell/dialog_window_win.h"

// What the three pages share: a child dialog of the main window whose Cancel
// button asks the main window to close (it refuses while an installer runs).
class CWizardPage : public CDialogWindow {
public:
    // The page's work, started by the main window one timer tick after showing it.
    virtual void Start() = 0;

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) override;
    void CloseMainWindow() const;
};

#endif
