#ifndef SETUP_ENGINE_ENGINE_JOB_WIN_H
#define SETUP_ENGINE_ENGINE_JOB_WIN_H

#include <windows.h>

#include <string>

#include "setup/archive/payload_archive.h"
#include "setup/script/folder_tokens.h"
#include "setup/script/setup_settings.h"

class CEngineControl;

// The worker's side of an engine control: everything the engine run may touch
// of the page and of its owner, so that the run never reaches into the control.
class EngineChannel {
public:
    EngineChannel(CEngineControl &owner, HWND bar, UINT message, const HANDLE *events);

    // Range 0-100, position 0.
    void BeginProgress();
    // Moves the bar to ProgressPosition(done, total) when that changed.
    void Progress(double done, double total);
    // Stores the item text under the owner's lock, then posts (0, 0).
    void ItemChanged(const std::wstring &text);
    // Sets the done event and posts (0, 1).
    void Finished();

    // The stop event is auto-reset, so a request seen once is remembered.
    bool StopRequested();
    // The extraction reported that it saw the request.
    void NoteStopped() { stopped_ = true; }
    // {stop request, done}, as the archive's extraction takes them.
    const HANDLE *Events() const { return events_; }

private:
    CEngineControl &owner_;
    HWND bar_;
    HWND page_;
    UINT message_;
    const HANDLE *events_;
    int position_ = -1;
    bool stopped_ = false;
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
    // default this program's own file); null when there is no marker or no
    // readable archive.
    ArchiveHandle OpenPayload(const wchar_t *identifier) const;

    const SetupSettings settings_;
    const SetupFolders folders_;
    const std::wstring package_;
};

// Waits for `object` while dispatching the messages other threads send to this
// one (the worker sends progress-bar messages to the page's thread, which
// would otherwise hang both). INFINITE waits for good. True when signalled.
bool WaitDispatchingSent(HANDLE object, DWORD milliseconds);

#endif
