#ifndef SETUP_ENGINE_ENGINE_JOB_WIN_H
#define SETUP_ENGINE_ENGINE_JOB_WIN_H

#include <windows.h>

#include <string>

#include "common/kernel_handle_win.h"
#include "common/worker_thread_win.h"
#include "setup/archive/payload_archive.h"
#include "setup/script/folder_tokens.h"
#include "setup/script/setup_settings.h"

class CEngineControl;

// The worker's side of an engine control: everything the engine run may touch
// of its owner, so that the run never reaches into the control or a window.
// What it publishes reaches the page with a progress notice, coalesced until
// the page has read it.
class EngineChannel {
public:
    EngineChannel(CEngineControl &owner, CWorkerThread &worker);

    // Position 0.
    void BeginProgress();
    // Publishes ProgressPosition(done, total) when that changed.
    void Progress(double done, double total);
    // Publishes the item text.
    void ItemChanged(const std::wstring &text);
    // The run has its archive open (read by the owner after the end notice).
    void PayloadOpened();
    // Acknowledges the stop request, if any, and posts kWorkerFinished.
    void Finished();

    bool StopRequested() const { return worker_.StopRequested(); }
    // The stop request, as the archive's extraction takes it.
    HANDLE StopEvent() const { return worker_.StopEvent(); }

private:
    CEngineControl &owner_;
    CWorkerThread &worker_;
    int position_ = -1;
};

// One engine run; the control makes it on the user-interface thread and the
// worker thread runs it once.
class EngineJob {
public:
    virtual ~EngineJob() = default;
    virtual void Run(EngineChannel &channel) = 0;
};

// What both engine runs start from: their own copy of the settings and the
// file that carries their archive.
class SetupEngineJob : public EngineJob {
protected:
    SetupEngineJob(const SetupSettings &settings, std::wstring package)
        : settings_(settings), folders_(settings.Folders()), package_(std::move(package)) {}

    // ExpandFolderTokens, then UnescapeValue, as every script field is read.
    std::wstring Expand(const std::wstring &text) const;
    // The archive behind the marker made from `identifier` in the package (by
    // default this program's own file, through the handle start-up opened);
    // null when there is no marker or no readable archive.
    std::unique_ptr<PayloadReader> OpenPayload(const wchar_t *identifier);

    const SetupSettings settings_;
    const SetupFolders folders_;
    const std::wstring package_;

private:
    CKernelHandle packageFile_;  // a package handed in by path, open while the run reads it
};

#endif
