#ifndef UPDATER_WIZARD_BLOCKING_STEP_WIN_H
#define UPDATER_WIZARD_BLOCKING_STEP_WIN_H

#include <windows.h>

#include <functional>
#include <utility>

#include "common/locked_value.h"
#include "common/worker_thread_win.h"

// A worker control for one step of the update run that blocks for a while
// (closing a running program, waiting for an installer), so that the window's
// thread never does: `work` runs on a worker thread, its result is kept under a
// lock, and `message` reaches `window` with kWorkerFinished, or kWorkerStopped
// when Stop cut it short. The window calls Result() after the notice.
template <typename Result>
class CBlockingStep {
public:
    using Work = std::function<Result(HANDLE stopEvent)>;

    ~CBlockingStep() { Stop(); }

    bool Start(HWND window, UINT message, Work work) {
        Stop();
        result_.Set(Result());
        work_ = std::move(work);
        return worker_.Start(window, message, [this] {
            result_.Set(work_(worker_.StopEvent()));
            worker_.NotifyEnd(worker_.StopRequested() ? kWorkerStopped : kWorkerFinished);
        });
    }
    // Asks the work to stop (it sees the event) and returns when it has ended.
    void Stop() { worker_.Stop(); }
    bool Running() const { return worker_.Running(); }
    Result TakeResult() const { return result_.Get(); }

private:
    Work work_;
    LockedValue<Result> result_;
    CWorkerThread worker_;  // last: joined before the rest goes
};

#endif
