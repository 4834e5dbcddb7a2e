#ifndef SETUP_WIZARD_INSTALL_WIZARD_WIN_H
#define SETUP_WIZARD_INSTALL_WIZARD_WIN_H

#include "setup/wizard/progress_page_win.h"
#include "setup/wizard/wizard_frame_win.h"

// The installer's frame (101): welcome, destination (only for packages with
// files), progress with the install engine, completion; Complete starts the
// package's program and offers a restart when the package asks for one.
class CInstallWizard : public CWizardFrame {
public:
    CInstallWizard();
    void ShowPage(int target) override;

private:
    void CreatePages() override;
    void OnAction() override;
    void OnComplete() override;
    void StopEngine() override;

    CProgressPage *progress_ = nullptr;  // owned by the frame's page list
};

#endif
