#ifndef SETUP_WIZARD_UNINSTALL_WIZARD_WIN_H
#define SETUP_WIZARD_UNINSTALL_WIZARD_WIN_H

#include "setup/wizard/wizard_frame_win.h"

// The uninstaller's frame (102): welcome, progress with the uninstall engine,
// completion; Complete only closes.
class CUninstallWizard : public CWizardFrame {
public:
    CUninstallWizard();
    void ShowPage(int target) override;

private:
    void CreatePages() override;
    void OnComplete() override;
};

#endif
