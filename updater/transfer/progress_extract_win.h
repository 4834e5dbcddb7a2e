#ifndef UPDATER_TRANSFER_PROGRESS_EXTRACT_WIN_H
#define UPDATER_TRANSFER_PROGRESS_EXTRACT_WIN_H

#include <windows.h>

#include <memory>
#include <string>

#include "common/locked_value.h"
#include "common/worker_thread_win.h"
#include "updater/transfer/zip_reader_win.h"

// A progress bar that unpacks one ZIP package into a folder on a worker thread.
// The bar runs from 0 to 100. The bar's parent receives the registered message
// Message() with wParam 0 and lParam kWorkerProgress when the position changed
// (coalesced until read) and, exactly once per run, kWorkerFinished,
// kWorkerStopped or kWorkerFailed; it hands every notice to ShowPosition, which
// moves the bar on the window's thread. After kWorkerFailed, ErrorText() says
// why, in the system's language.
//
// The parent calls Stop when a run has ended, on Cancel and when it closes;
// the destructor does too, so the worker never outlives the control.
class CProgressExtract {
public:
    // Each ExtractEntry streams through a buffer of this size.
    static constexpr DWORD kBufferSize = 65535;

    CProgressExtract() = default;
    ~CProgressExtract() { Stop(); }
    CProgressExtract(const CProgressExtract &) = delete;
    CProgressExtract &operator=(const CProgressExtract &) = delete;

    // The progress bar the control drives (none in a run without windows) and
    // the window that receives Message() (the bar's parent unless given).
    void Attach(HWND progressBar, HWND notifyWindow = nullptr);
    HWND ProgressBar() const { return bar_; }

    // "CProgressExtract::WM_EXTRACT".
    static UINT Message();

    // Stops a previous run, then unpacks `archivePath` below `destination`.
    // False when the worker could not be started (nothing is posted then).
    bool Start(const std::wstring &destination, const std::wstring &archivePath);
    // Asks the worker to stop and returns only when it has ended; then
    // releases the reader (and with it the archive file).
    void Stop();

    std::wstring ErrorText() const { return errorText_.Get(); }
    // Moves the bar to the position the worker last published.
    void ShowPosition();

private:
    struct Progress;
    static bool OnBlockWritten(DWORD index, DWORD bytesWritten, void *data);
    void Run();
    void Fail(const std::wstring &text);

    HWND bar_ = nullptr;
    HWND notify_ = nullptr;
    LockedValue<std::wstring> errorText_;
    LockedValue<int> position_;
    std::unique_ptr<CZipReader> reader_;
    std::wstring destination_;
    std::wstring archivePath_;
    // Last: the worker is joined before anything it uses goes.
    CWorkerThread worker_;
};

// Total free bytes of the drive `folder` starts with ("C:" -> C:\), not only
// the caller's quota. False when the folder names no drive letter or the
// system cannot tell.
bool GetDriveFreeBytes(const std::wstring &folder, unsigned long long &freeBytes);

#endif
