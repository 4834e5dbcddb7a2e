#ifndef UPDATER_TRANSFER_DOWNLOAD_ENGINE_WIN_H
#define UPDATER_TRANSFER_DOWNLOAD_ENGINE_WIN_H

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/locked_value.h"
#include "common/worker_thread_win.h"
#include "updater/transfer/ftp_endpoint.h"
#include "updater/transfer/transfer_loop.h"


// The texts a parent shows, read as one consistent copy.
struct DownloadTexts {
    std::wstring error;
    std::wstring speed;
    std::wstring size;
};

// Where a download stands, as the worker last published it.
struct DownloadPosition {
    uint64_t received = 0;
    RemoteSize size;        // unknown until the server lists the file
    bool complete = false;  // the local file is whole
};

// The one download engine behind CProgressFtp and CSliderFtp: a worker thread
// that fetches one server file into a local file and reports to the parent
// window with the control's registered message. The worker owns every handle
// and file it uses and never touches a window: it publishes texts and position
// and posts a progress notice, and the control moves its bar or slider on the
// window's thread when the notice arrives. Stop waits until the worker has ended.
class CDownloadEngine {
public:
    explicit CDownloadEngine(UINT message);
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

    // Copies of what the worker published; reading re-arms the progress notice.
    DownloadTexts Texts() const;
    DownloadPosition Position() const;
    UINT Message() const { return message_; }

private:
    class Run;

    const UINT message_;
    uint32_t readSize_ = kTransferBlock;
    LockedValue<DownloadTexts> texts_;
    LockedValue<DownloadPosition> position_;
    CWorkerThread worker_;  // last: joined before the rest goes
};

// The registered messages ("CProgressFtp::WM_DOWNLOAD", "CSliderFtp::WM_DOWNLOAD").
UINT ProgressFtpMessage();
UINT SliderFtpMessage();

#endif
