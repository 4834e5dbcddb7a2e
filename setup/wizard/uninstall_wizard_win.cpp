#include "setup/wizard/uninstall_wizard_win.h"

#include "setup/res/resource.h"
#include "setup/wizard/completion_page_win.h"
#include "setup/wizard/progress_page_win.h"
#include "setup/wizard/welcome_page_win.h"
#include "setup/wizard/wizard_texts.h"

CUninstallWizard::CUninstallWizard()
    : CWizardFrame(IDD_UNINSTALL_WIZARD, IDC_UNINSTALL, uninstall_page::kProgress,
                   uninstall_page::kCompletion,
                   wizard_text::kQuitUninstall) {}

void CUninstallWizard::CreatePages() {
    AddPage(uninstall_page::kWelcome, std::make_unique<CWelcomePage>(
                                          IDD_UNINSTALL_WELCOME, wizard_text::kUninstallWelcome));
    auto progress = std::make_unique<CProgressPage>(
        IDD_UNINSTALL_PROGRESS, std::make_unique<CProgressUninstall>(),
        CProgressPage::Texts{wizard_text::kUninstallingHeader,
                             wizard_text::kUninstallingItemLabel},
        [this] { ShowPage(uninstall_page::kCompletion); });
    AddProgressPage(std::move(progress));
    AddPage(uninstall_page::kCompletion,
            std::make_unique<CCompletionPage>(IDD_UNINSTALL_COMPLETION,
                                              wizard_text::kUninstallCompletedHeader));
}

void CUninstallWizard::ShowPage(int target) { Display(UninstallPageFor(target)); }

void CUninstallWizard::OnComplete() { Close(); }
