#ifndef SETUP_WIZARD_INSTALL_WIZARD_WIN_H
#define SETUP_WIZARD_INSTALL_WIZARD_WIN_H

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
    void OnComplete() override;
};

#endif
