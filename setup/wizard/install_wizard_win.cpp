#include "setup/wizard/install_wizard_win.h"

#include "setup/res/resource.h"
#include "setup/script/setup_settings.h"
#include "setup/wizard/after_program.h"
#include "setup/wizard/complete_actions_win.h"
#include "setup/wizard/completion_page_win.h"
#include "setup/wizard/progress_page_win.h"
#include "setup/wizard/destination_page_win.h"
#include "setup/wizard/welcome_page_win.h"
#include "setup/wizard/wizard_texts.h"

CInstallWizard::CInstallWizard()
    : CWizardFrame(IDD_INSTALL_WIZARD, IDC_INSTALL, install_page::kProgress,
                   install_page::kCompletion,
                   wizard_text::kQuitInstall) {}

void CInstallWizard::CreatePages() {
    AddPage(install_page::kWelcome,
            std::make_unique<CWelcomePage>(IDD_INSTALL_WELCOME, wizard_text::kInstallWelcome));
    AddPage(install_page::kDestination, std::make_unique<CDestinationPage>());
    auto progress = std::make_unique<CProgressPage>(
        IDD_INSTALL_PROGRESS, std::make_unique<CProgressInstall>(),
        CProgressPage::Texts{wizard_text::kInstallingHeader, wizard_text::kInstallingItemLabel},
        [this] { ShowPage(install_page::kCompletion); });
    AddProgressPage(std::move(progress));
    AddPage(install_page::kCompletion, std::make_unique<CCompletionPage>(
                                           IDD_INSTALL_COMPLETION,
                                           wizard_text::kInstallCompletedHeader));
}

void CInstallWizard::ShowPage(int target) {
    Display(InstallPageFor(target, Current(), !ProcessSetupSettings().HasFiles.empty()));
}

void CInstallWizard::OnComplete() {
    const SetupSettings &settings = ProcessSetupSettings();
    StartAfterProgram(settings);
    if (WantsRestart(settings)) OfferRestart(Window());
    Close();
}
