// The install and uninstall engines and their worker controls.
#ifndef SETUP_ENGINE_ENGINE_CONTROL_WIN_H
#define SETUP_ENGINE_ENGINE_CONTROL_WIN_H

#include <windows.h>

#include <memory>
#include <string>

#include "common/locked_value.h"
#include "common/worker_thread_win.h"

struct SetupSettings;
// Defined in engine_job_win.h; the constructors and the destructor live where
// they are complete.
class EngineChannel;
class EngineJob;

// Where an engine takes its package and settings from. The defaults are what
// the program itself uses: its own file (searched for the engine's marker) and
// the process-wide settings. Tests hand in a package file and a record.
struct EngineSource {
    std::wstring package;                     // empty: this program's own file
    const SetupSettings *settings = nullptr;  // null: ProcessSetupSettings()
};

// The progress bar of a setup progress page (control 1014) together with the
// engine that runs behind it on a worker thread. The page creates one, attaches
// it to its progress bar and calls Start when it becomes the current page.
//
// The worker reports only by posting Message() to the page (wParam 0; lParam
// kWorkerProgress after the item text or the position changed, kWorkerFinished
// once when the run has ended); it never touches a window. Item and position
// are handed over under a lock; progress notices are coalesced by the worker
// thread (CWorkerThread), so the page reads the latest on each one and moves
// the bar itself (ShowPosition).
class CEngineControl {
public:
    CEngineControl();
    CEngineControl(const CEngineControl &) = delete;
    CEngineControl &operator=(const CEngineControl &) = delete;
    virtual ~CEngineControl();

    // The page's progress bar; its parent (the page) receives Message(), or
    // `notifyWindow` when one is given (a run without pages hands a
    // message-only window and no bar).
    void Attach(HWND progressBar, HWND notifyWindow = nullptr);
    HWND ProgressBar() const;

    // Clears the page's Folder and Item texts, closes a running copy of the
    // product, then starts the worker. True when the thread exists.
    bool Start();
    // Asks the worker to stop, waits for it, and never returns while it still runs.
    void StopWorker();

    // The full path of the entry being worked on (a copy taken under the lock);
    // reading it re-arms the progress notice.
    std::wstring ItemText() const;
    // Moves the bar to the position the worker last published; re-arms the
    // progress notice too.
    void ShowPosition();
    // After the run's end notice: the run found its archive (the payload or
    // the uninstall record). The pages show the completion page either way.
    bool PayloadRead() const;

    // The registered WM_UNZIP message of this kind of engine.
    virtual UINT Message() const = 0;

protected:
    explicit CEngineControl(EngineSource source);

    // Both run on the user-interface thread inside Start, with the settings as
    // they stand then. The job gets its own copy, so the worker never reads
    // the settings the pages may change.
    virtual void CloseProduct(const SetupSettings &settings) = 0;
    virtual std::unique_ptr<EngineJob> MakeJob(const SetupSettings &settings,
                                               const std::wstring &package) = 0;

private:
    friend class EngineChannel;

    EngineSource source_;
    HWND bar_ = nullptr;
    HWND notify_ = nullptr;
    std::unique_ptr<EngineJob> job_;
    std::unique_ptr<EngineChannel> channel_;
    LockedValue<std::wstring> itemText_;
    LockedValue<int> position_;
    LockedValue<bool> payloadRead_;
    // Last: it is stopped (and the worker joined) before the job and channel go.
    CWorkerThread worker_;
};

// The install engine ("CProgressInstall::WM_UNZIP").
class CProgressInstall : public CEngineControl {
public:
    CProgressInstall();
    explicit CProgressInstall(EngineSource source);
    UINT Message() const override;

protected:
    void CloseProduct(const SetupSettings &settings) override;
    std::unique_ptr<EngineJob> MakeJob(const SetupSettings &settings,
                                       const std::wstring &package) override;
};

// The uninstall engine ("CProgressUninstall::WM_UNZIP").
class CProgressUninstall : public CEngineControl {
public:
    CProgressUninstall();
    explicit CProgressUninstall(EngineSource source);
    UINT Message() const override;

protected:
    void CloseProduct(const SetupSettings &settings) override;
    std::unique_ptr<EngineJob> MakeJob(const SetupSettings &settings,
                                       const std::wstring &package) override;
};

#endif
