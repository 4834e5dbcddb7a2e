#ifndef COMMON_WORKER_THREAD_WIN_H
#define COMMON_WORKER_THREAD_WIN_H

#include <windows.h>

#include <atomic>
#include <functional>

#include "common/kernel_handle_win.h"

// The one vocabulary of every worker control's notices: lParam of its
// registered message (wParam is 0).
enum WorkerNotice : LPARAM {
    kWorkerProgress = 0,  // what the window shows changed: read it now
    kWorkerFinished = 1,  // the run's work is done
    kWorkerStopped = 2,   // Stop ended the run
    kWorkerFailed = 3,    // the control's error text says why
};

// The thread behind every worker control (downloads, extraction, the setup
// engines): one run of a body at below-normal priority that reports only by
// posting a registered message to a window, and that is always over before its
// owner goes.
//
// Notifications carry wParam 0 and a small code in lParam. A run ends with
// exactly one NotifyEnd; progress notices are coalesced: while one is still
// unread (the window has not called ProgressRead), further ones are not
// posted, so a fast worker never floods the window's queue.
class CWorkerThread {
public:
    // The bounded waits of Stop: for the run's acknowledgement, then for the thread.
    static constexpr DWORD kAcknowledgeWaitMs = 3000;
    static constexpr DWORD kThreadWaitMs = 3000;

    CWorkerThread() = default;
    ~CWorkerThread() { Stop(); }
    CWorkerThread(const CWorkerThread &) = delete;
    CWorkerThread &operator=(const CWorkerThread &) = delete;

    // Stops a previous run, then runs `body` once on a new thread. False when
    // the events or the thread could not be made (nothing runs then), and while
    // a Stop of this object is still waiting.
    bool Start(HWND window, UINT message, std::function<void()> body);

    // Sets the stop request and waits: up to kAcknowledgeWaitMs for the run's
    // end notice, up to kThreadWaitMs for the thread, and then for as long as
    // the thread runs, so that nothing the body uses is released under it.
    // While waiting it dispatches the messages other threads send to this one
    // and repaints this thread's windows. Nothing happens when no run exists.
    void Stop();

    bool Running() const { return static_cast<bool>(thread_); }

    // --- the worker's side ---

    // The stop request. The event is manual-reset, so every poll sees it, also
    // one made by code the body hands the event to (StopEvent).
    bool StopRequested() const;
    HANDLE StopEvent() const { return stop_.Get(); }
    // Sets the acknowledgement, then posts `code`: the run's one end notice.
    void NotifyEnd(LPARAM code);
    // Posts `code` unless an earlier progress notice is still unread.
    void NotifyProgress(LPARAM code);

    // --- the window's side ---

    // The window takes the progress now: call it before reading what the worker
    // published, so that a change made after the read posts a new notice.
    void ProgressRead() const { progressPending_ = false; }

private:
    static unsigned __stdcall ThreadMain(void *self);

    CKernelHandle thread_;
    CKernelHandle stop_;
    CKernelHandle done_;
    HWND window_ = nullptr;
    UINT message_ = 0;
    std::function<void()> body_;
    mutable std::atomic<bool> progressPending_{false};
    bool stopping_ = false;
};

// Waits for `object` while dispatching the messages other threads send to this
// one (a worker that sends to a window of this thread would otherwise hang
// both) and repainting this thread's windows. INFINITE waits for good. True
// when the object was signalled.
bool WaitDispatchingSent(HANDLE object, DWORD milliseconds);

#endif
