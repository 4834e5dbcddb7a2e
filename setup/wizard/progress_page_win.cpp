#include "setup/wizard/progress_page_win.h"

#include "common/paths.h"
#include "setup/res/resource.h"
#include "setup/wizard/wizard_texts.h"

namespace {

// What the engine's message says in lParam.
enum EngineNotice : LPARAM { kItemChanged = 0, kFinished = 1, kStopped = 2, kFailed = 3 };

}  // namespace

CProgressPage::CProgressPage(int templateId, std::unique_ptr<CEngineControl> engine, Texts texts,
                             std::function<void()> finished)
    : CWizardPage(templateId), engine_(std::move(engine)), texts_(texts),
      finished_(std::move(finished)) {}

void CProgressPage::OnInit() {
    UseHeader(texts_.header);
    SetItemText(IDC_FOLDER_LABEL, wizard_text::kFolderLabel);
    SetItemText(IDC_ITEM_LABEL, texts_.itemLabel);
    engine_->Attach(GetDlgItem(Window(), IDC_PROGRESS_BAR));
}

bool CProgressPage::Start() { return engine_->Start(); }

void CProgressPage::StopWorker() { engine_->StopWorker(); }

bool CProgressPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR &result) {
    if (message == engine_->Message()) {
        switch (lParam) {
            case kItemChanged:
                ShowItem();
                break;
            case kFinished:
                engine_->StopWorker();
                if (finished_) finished_();
                break;
            case kStopped:
            case kFailed:
                engine_->StopWorker();
                break;
            default:
                break;
        }
        result = 0;
        return true;
    }
    if (message == WM_DESTROY) engine_->StopWorker();
    return CWizardPage::OnMessage(message, wParam, lParam, result);
}

void CProgressPage::ShowItem() {
    const std::wstring item = engine_->ItemText();
    SetItemText(IDC_FOLDER, LocalFolderOf(item));
    SetItemText(IDC_ITEM, LocalNameOf(item));
    // A long run must not look like an idle user to the system (screen saver, sleep).
    keybd_event(0, 0, 0, 0);
}
