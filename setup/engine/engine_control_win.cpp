#include "setup/engine/engine_control_win.h"

#include <process.h>

#include "setup/engine/engine_job_win.h"
#include "setup/script/setup_settings.h"

namespace {

// The progress pages' Folder and Item edits.
constexpr int kFolderEdit = 1015;
constexpr int kItemEdit = 1016;

// StopWorker's two bounded waits: for the run's acknowledgement, then for the thread.
constexpr DWORD kDoneWaitMs = 3000;
constexpr DWORD kThreadWaitMs = 3000;

void CloseEvent(HANDLE &event) {
    if (event) CloseHandle(event);
    event = nullptr;
}

}  // namespace

CEngineControl::CEngineControl() = default;

CEngineControl::CEngineControl(EngineSource source) : source_(std::move(source)) {}

CEngineControl::~CEngineControl() { StopWorker(); }

void CEngineControl::Attach(HWND progressBar) { bar_ = progressBar; }

HWND CEngineControl::ProgressBar() const { return bar_; }

bool CEngineControl::Start() {
    HWND page = bar_ ? GetParent(bar_) : nullptr;
    if (page) {
        SetDlgItemTextW(page, kFolderEdit, L"");
        SetDlgItemTextW(page, kItemEdit, L"");
    }
    const SetupSettings settings = source_.settings ? *source_.settings : ProcessSetupSettings();
    CloseProduct(settings);

    StopWorker();
    SetItemText(std::wstring());
    events_[0] = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    events_[1] = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (events_[0] && events_[1]) {
        job_ = MakeJob(settings, source_.package);
        channel_.reset(new EngineChannel(*this, bar_, Message(), events_));
        unsigned id = 0;
        thread_ = reinterpret_cast<HANDLE>(
            _beginthreadex(nullptr, 0, WorkerMain, this, CREATE_SUSPENDED, &id));
        if (thread_) {
            threadId_ = id;
            SetThreadPriority(thread_, THREAD_PRIORITY_BELOW_NORMAL);
            ResumeThread(thread_);
            return true;
        }
    }
    // No run: the page still learns that the engine has ended, so the wizard
    // does not stay on its progress page.
    job_.reset();
    channel_.reset();
    CloseEvent(events_[0]);
    CloseEvent(events_[1]);
    if (page) PostMessageW(page, Message(), 0, 1);
    return false;
}

unsigned __stdcall CEngineControl::WorkerMain(void *control) {
    // job_ and channel_ are set before the thread starts and released only
    // after it has ended.
    CEngineControl *self = static_cast<CEngineControl *>(control);
    self->job_->Run(*self->channel_);
    return 0;
}

void CEngineControl::StopWorker() {
    if (thread_) {
        SetEvent(events_[0]);
        WaitDispatchingSent(events_[1], kDoneWaitMs);
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        // The job and the channel belong to this object: the worker may not
        // outlive it, so after the bounded wait it is waited for until it ends
        // (both runs look at the stop request between steps).
        if (!WaitDispatchingSent(thread_, kThreadWaitMs)) WaitDispatchingSent(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
        threadId_ = 0;
        job_.reset();
        channel_.reset();
    }
    CloseEvent(events_[0]);
    CloseEvent(events_[1]);
}

std::wstring CEngineControl::ItemText() const {
    std::lock_guard<std::mutex> lock(itemLock_);
    return itemText_;
}

void CEngineControl::SetItemText(const std::wstring &text) {
    std::lock_guard<std::mutex> lock(itemLock_);
    itemText_ = text;
}
