#include "setup/wizard/progress_page_win.h"

#include "common/paths.h"
#include "setup/res/resource.h"
#include "setup/wizard/wizard_texts.h"

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

bool CProgressPage::Start() {
    shownItem_.clear();
    return engine_->Start();
}

void CProgressPage::StopWorker() { engine_->StopWorker(); }

bool CProgressPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR &result) {
    if (message == engine_->Message()) {
        engine_->ShowPosition();
        switch (lParam) {
            case kWorkerProgress:
                ShowItem();
                break;
            case kWorkerFinished:
                engine_->StopWorker();
                if (finished_) finished_();
                break;
            case kWorkerStopped:
            case kWorkerFailed:
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
    if (item == shownItem_) return;
    shownItem_ = item;
    SetItemText(IDC_FOLDER, LocalFolderOf(item));
    SetItemText(IDC_ITEM, LocalNameOf(item));
    // A long run must not look like an idle user to the system (screen saver, sleep).
    keybd_event(0, 0, 0, 0);
}
