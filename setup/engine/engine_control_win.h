#ifndef SETUP_ENGINE_ENGINE_CONTROL_WIN_H
#define SETUP_ENGINE_ENGINE_CONTROL_WIN_H

#include <windows.h>

#include <string>

// The progress bar of a setup progress page (control 1014) together with the
// engine that runs behind it on a worker thread. The page creates one, attaches
// it to its progress bar and calls Start when it becomes the current page.
//
// The worker reports only by posting Message() to the page (wParam 0; lParam 0
// after the item text changed, 1 once when the run has ended) and by
// progress-bar messages. The item text is handed over under a lock.
class CEngineControl {
public:
    CEngineControl() = default;
    CEngineControl(const CEngineControl &) = delete;
    CEngineControl &operator=(const CEngineControl &) = delete;
    virtual ~CEngineControl();

    // The page's progress bar; its parent (the page) receives Message().
    void Attach(HWND progressBar);
    HWND ProgressBar() const;

    // Clears the page's Folder and Item texts, closes a running copy of the
    // product, then starts the worker. True when the thread exists.
    bool Start();
    // Asks the worker to stop, waits for it, and never returns while it still runs.
    void StopWorker();

    // The full path of the entry being worked on (a copy taken under the lock).
    std::wstring ItemText() const;

    // The registered WM_UNZIP message of this kind of engine.
    virtual UINT Message() const = 0;
};

// The install engine ("CProgressInstall::WM_UNZIP").
class CProgressInstall : public CEngineControl {
public:
    UINT Message() const override;
};

// The uninstall engine ("CProgressUninstall::WM_UNZIP").
class CProgressUninstall : public CEngineControl {
public:
    UINT Message() const override;
};

#endif
