#include "common/worker_thread_win.h"

#include <process.h>

bool WaitDispatchingSent(HANDLE object, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD wait = INFINITE;
        if (milliseconds != INFINITE) {
            DWORD elapsed = GetTickCount() - start;
            if (elapsed >= milliseconds) return WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
            wait = milliseconds - elapsed;
        }
        DWORD r = MsgWaitForMultipleObjects(1, &object, FALSE, wait, QS_SENDMESSAGE | QS_PAINT);
        if (r == WAIT_OBJECT_0) return true;
        if (r != WAIT_OBJECT_0 + 1) return false;
        // Sent messages are delivered inside PeekMessage; input and posted
        // messages stay queued for the caller's own loop, so nothing re-enters
        // the code that is waiting here.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT))
            DispatchMessageW(&msg);
    }
}

bool CWorkerThread::Start(HWND window, UINT message, std::function<void()> body) {
    if (stopping_) return false;
    Stop();
    stop_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    done_.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!stop_ || !done_) {
        stop_.Reset();
        done_.Reset();
        return false;
    }
    window_ = window;
    message_ = message;
    body_ = std::move(body);
    progressPending_ = false;
    unsigned id = 0;
    thread_.Reset(reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, ThreadMain, this, CREATE_SUSPENDED, &id)));
    if (!thread_) {
        body_ = nullptr;
        stop_.Reset();
        done_.Reset();
        return false;
    }
    SetThreadPriority(thread_.Get(), THREAD_PRIORITY_BELOW_NORMAL);
    ResumeThread(thread_.Get());
    return true;
}

unsigned __stdcall CWorkerThread::ThreadMain(void *self) {
    // body_ is set before the thread starts and released only after it has ended.
    static_cast<CWorkerThread *>(self)->body_();
    return 0;
}

void CWorkerThread::Stop() {
    if (stopping_) return;  // a Stop further up this thread's stack waits already
    if (thread_) {
        stopping_ = true;
        SetEvent(stop_.Get());
        WaitDispatchingSent(done_.Get(), kAcknowledgeWaitMs);
        if (!WaitDispatchingSent(thread_.Get(), kThreadWaitMs))
            WaitDispatchingSent(thread_.Get(), INFINITE);
        thread_.Reset();
        body_ = nullptr;
        stopping_ = false;
    }
    stop_.Reset();
    done_.Reset();
}

bool CWorkerThread::StopRequested() const {
    return stop_ && WaitForSingleObject(stop_.Get(), 0) == WAIT_OBJECT_0;
}

void CWorkerThread::NotifyEnd(LPARAM code) {
    SetEvent(done_.Get());
    if (window_) PostMessageW(window_, message_, 0, code);
}

void CWorkerThread::NotifyProgress(LPARAM code) {
    if (progressPending_.exchange(true)) return;
    if (window_ && !PostMessageW(window_, message_, 0, code)) progressPending_ = false;
}
