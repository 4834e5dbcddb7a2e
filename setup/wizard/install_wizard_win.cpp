#include "setup/wizard/install_wizard_win.h"

#include "setup/res/resource.h"
#include "setup/script/setup_settings.h"
#include "setup/wizard/after_program.h"
#include "setup/wizard/complete_actions_win.h"
#include "setup/wizard/completion_page_win.h"
#include "setup/wizard/destination_page_win.h"
#include "setup/wizard/welcome_page_win.h"
#include "setup/wizard/wizard_texts.h"

CInstallWizard::CInstallWizard()
    : CWizardFrame(IDD_INSTALL_WIZARD, IDC_INSTALL, install_page::kCompletion,
                   wizard_text::kQuitInstall) {}

void CInstallWizard::CreatePages() {
    AddPage(install_page::kWelcome,
            std::make_unique<CWelcomePage>(IDD_INSTALL_WELCOME, wizard_text::kInstallWelcome));
    AddPage(install_page::kDestination, std::make_unique<CDestinationPage>());
    auto progress = std::make_unique<CProgressPage>(
        IDD_INSTALL_PROGRESS, std::make_unique<CProgressInstall>(),
        CProgressPage::Texts{wizard_text::kInstallingHeader, wizard_text::kInstallingItemLabel},
        [this] { ShowPage(install_page::kCompletion); });
    progress_ = progress.get();
    AddPage(install_page::kProgress, std::move(progress));
    AddPage(install_page::kCompletion, std::make_unique<CCompletionPage>(
                                           IDD_INSTALL_COMPLETION,
                                           wizard_text::kInstallCompletedHeader));
}

void CInstallWizard::ShowPage(int target) {
    Display(InstallPageFor(target, Current(), !ProcessSetupSettings().HasFiles.empty()));
}

void CInstallWizard::OnAction() {
    const int target = ActionTarget(Current(), CompletionPage());
    if (target < 0) return;
    ShowPage(target);
    if (Current() == install_page::kProgress && progress_) progress_->Start();
}

void CInstallWizard::OnComplete() {
    const SetupSettings &settings = ProcessSetupSettings();
    StartAfterProgram(settings);
    if (WantsRestart(settings)) OfferRestart(Window());
    Close();
}

void CInstallWizard::StopEngine() {
    if (progress_) progress_->StopWorker();
}
