#include "setup/engine/engine_job_win.h"

#include <commctrl.h>

#include "setup/engine/engine_control_win.h"
#include "setup/engine/engine_progress.h"
#include "setup/script/setup_startup.h"
#include "setup/script/value_escaping.h"

bool WaitDispatchingSent(HANDLE object, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD wait = INFINITE;
        if (milliseconds != INFINITE) {
            DWORD elapsed = GetTickCount() - start;
            if (elapsed >= milliseconds) return WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
            wait = milliseconds - elapsed;
        }
        DWORD r = MsgWaitForMultipleObjects(1, &object, FALSE, wait, QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0) return true;
        if (r != WAIT_OBJECT_0 + 1) return false;
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

EngineChannel::EngineChannel(CEngineControl &owner, HWND bar, UINT message, const HANDLE *events)
    : owner_(owner), bar_(bar), page_(bar ? GetParent(bar) : nullptr), message_(message),
      events_(events) {}

void EngineChannel::BeginProgress() {
    position_ = 0;
    if (!bar_) return;
    SendMessageW(bar_, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressRange));
    SendMessageW(bar_, PBM_SETPOS, 0, 0);
}

void EngineChannel::Progress(double done, double total) {
    int position = ProgressPosition(done, total);
    if (position == position_) return;
    position_ = position;
    if (bar_) SendMessageW(bar_, PBM_SETPOS, WPARAM(position), 0);
}

void EngineChannel::ItemChanged(const std::wstring &text) {
    owner_.SetItemText(text);
    if (page_) PostMessageW(page_, message_, 0, 0);
}

void EngineChannel::Finished() {
    SetEvent(events_[1]);
    if (page_) PostMessageW(page_, message_, 0, 1);
}

bool EngineChannel::StopRequested() {
    if (!stopped_ && WaitForSingleObject(events_[0], 0) == WAIT_OBJECT_0) stopped_ = true;
    return stopped_;
}

std::wstring SetupEngineJob::Expand(const std::wstring &text) const {
    return UnescapeValue(ExpandFolderTokens(text, folders_));
}

ArchiveHandle SetupEngineJob::OpenPayload(const wchar_t *identifier) const {
    PayloadLocation where =
        package_.empty() ? LocatePayload(identifier) : LocatePayloadIn(package_, identifier);
    if (!where.found) return nullptr;
    return OpenArchive(where.path.c_str(), 0, DWORD(where.offset), kArchivePath);
}
