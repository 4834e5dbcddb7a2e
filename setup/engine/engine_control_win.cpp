#include "setup/engine/engine_control_win.h"

#include <commctrl.h>

#include "common/progress_position.h"
#include "setup/engine/engine_job_win.h"
#include "setup/script/setup_settings.h"

namespace {

// The progress pages' Folder and Item edits.
constexpr int kFolderEdit = 1015;
constexpr int kItemEdit = 1016;

}  // namespace

CEngineControl::CEngineControl() = default;

CEngineControl::CEngineControl(EngineSource source) : source_(std::move(source)) {}

CEngineControl::~CEngineControl() { StopWorker(); }

void CEngineControl::Attach(HWND progressBar, HWND notifyWindow) {
    bar_ = progressBar;
    notify_ = notifyWindow;
    if (bar_) SendMessageW(bar_, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressRange));
}

void CEngineControl::ShowPosition() {
    worker_.ProgressRead();
    if (bar_) SendMessageW(bar_, PBM_SETPOS, WPARAM(position_.Get()), 0);
}

HWND CEngineControl::ProgressBar() const { return bar_; }

bool CEngineControl::PayloadRead() const { return payloadRead_.Get(); }

bool CEngineControl::Start() {
    HWND page = bar_ ? GetParent(bar_) : nullptr;
    if (page) {
        SetDlgItemTextW(page, kFolderEdit, L"");
        SetDlgItemTextW(page, kItemEdit, L"");
    }
    HWND notify = notify_ ? notify_ : page;
    const SetupSettings settings = source_.settings ? *source_.settings : ProcessSetupSettings();
    CloseProduct(settings);

    StopWorker();
    itemText_.Set(std::wstring());
    position_.Set(0);
    payloadRead_.Set(false);
    if (bar_) SendMessageW(bar_, PBM_SETPOS, 0, 0);
    job_ = MakeJob(settings, source_.package);
    channel_.reset(new EngineChannel(*this, worker_));
    if (worker_.Start(notify, Message(), [this] { job_->Run(*channel_); })) return true;

    // No run: the page still learns that the engine has ended, so the wizard
    // does not stay on its progress page.
    job_.reset();
    channel_.reset();
    if (notify) PostMessageW(notify, Message(), 0, kWorkerFinished);
    return false;
}

void CEngineControl::StopWorker() {
    worker_.Stop();
    job_.reset();
    channel_.reset();
}

std::wstring CEngineControl::ItemText() const {
    worker_.ProgressRead();
    return itemText_.Get();
}
