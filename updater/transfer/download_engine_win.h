#ifndef UPDATER_TRANSFER_DOWNLOAD_ENGINE_WIN_H
#define UPDATER_TRANSFER_DOWNLOAD_ENGINE_WIN_H

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/locked_value.h"
#include "common/worker_thread_win.h"
#include "updater/transfer/ftp_endpoint.h"
#include "updater/transfer/transfer_loop.h"

// What a download notification says in lParam.
enum DownloadNotice : LPARAM {
    kDownloadProgress = 0,  // speed and size texts refreshed
    kDownloadFinished = 1,  // the local file is complete (or already was)
    kDownloadStopped = 2,   // Stop ended the run
    kDownloadFailed = 3,    // the error text says why
};

// The texts a parent shows, read as one consistent copy.
struct DownloadTexts {
    std::wstring error;
    std::wstring speed;
    std::wstring size;
};

// How a download control shows progress. Called on the worker thread.
class DownloadDisplay {
public:
    virtual ~DownloadDisplay() = default;
    // Before the first byte.
    virtual void Prepare(const RemoteSize &size) = 0;
    // A size re-check listed `size`.
    virtual void Relisted(const RemoteSize &size) = 0;
    virtual void Show(uint64_t received, const RemoteSize &size) = 0;
    // The local file is complete.
    virtual void Complete() = 0;
};

// The one download engine behind CProgressFtp and CSliderFtp: a worker thread
// that fetches one server file into a local file and reports to the parent
// window with the control's registered message. The worker owns every handle
// and file it uses; Stop waits until it has ended.
class CDownloadEngine {
public:
    CDownloadEngine(DownloadDisplay &display, UINT message);
    ~CDownloadEngine() { Stop(); }
    CDownloadEngine(const CDownloadEngine &) = delete;
    CDownloadEngine &operator=(const CDownloadEngine &) = delete;

    // Stops a previous run, then starts one. `local` is a file path or a folder
    // ending in "\"; `remote` is "server/folder/file" (see SplitDownloadPaths).
    // Port 0 stands for 21. False when the worker could not be started.
    bool Start(HWND parent, const std::wstring &local, const std::wstring &remote, int port,
               const std::wstring &user, const std::wstring &password, bool binary);
    void Stop();
    bool Running() const { return worker_.Running(); }
    // Bytes asked for per read (1024 unless set; for measuring other sizes).
    void SetReadSize(uint32_t bytes) { readSize_ = bytes ? bytes : kTransferBlock; }

    // A copy of the texts; reading re-arms the progress notice.
    DownloadTexts Texts() const;
    UINT Message() const { return message_; }

private:
    class Run;

    DownloadDisplay &display_;
    const UINT message_;
    uint32_t readSize_ = kTransferBlock;
    LockedValue<DownloadTexts> texts_;
    CWorkerThread worker_;  // last: joined before the rest goes
};

// The registered messages ("CProgressFtp::WM_DOWNLOAD", "CSliderFtp::WM_DOWNLOAD").
UINT ProgressFtpMessage();
UINT SliderFtpMessage();

#endif
