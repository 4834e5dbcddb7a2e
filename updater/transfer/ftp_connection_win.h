#ifndef UPDATER_TRANSFER_FTP_CONNECTION_WIN_H
#define UPDATER_TRANSFER_FTP_CONNECTION_WIN_H

#include <functional>

#include "updater/transfer/ftp_endpoint.h"
#include "updater/transfer/internet_handle_win.h"

// Session-wide time-outs in milliseconds, set before every connection attempt.
struct FtpTimeouts {
    DWORD connectMs;
    DWORD receiveMs;
    DWORD sendMs;
};

constexpr FtpTimeouts kFtpAccessTimeouts{3500, 7000, 7000};     // folder work (CFtpAccess)
constexpr FtpTimeouts kFtpDownloadTimeouts{3500, 15000, 15000};  // download workers
constexpr int kFtpConnectAttempts = 5;

enum class FtpConnectResult { kConnected, kFailed, kStopped };

// The one connection procedure: drops what `session` and `connection` hold, opens a
// new session and makes up to five passive-mode connection attempts, one right after
// the other. `stopRequested` (download workers only) is asked after each failed attempt
// but the last; when it says yes both handles are closed and kStopped is returned.
// On kFailed and kStopped both handles are empty.
FtpConnectResult OpenFtpConnection(const FtpEndpoint &endpoint, const FtpTimeouts &timeouts,
                                   CInternetHandle &session, CInternetHandle &connection,
                                   const std::function<bool()> &stopRequested = {});

#endif
