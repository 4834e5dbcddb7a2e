#include "updater/transfer/ftp_connection_win.h"

namespace {

const wchar_t kAgentName[] = L"Tessel";
// Tags the connection; no status callback is installed, so it only identifies it.
constexpr DWORD_PTR kSessionContext = 1;

void SetTimeout(HINTERNET session, DWORD option, DWORD milliseconds) {
    InternetSetOptionExW(session, option, &milliseconds, sizeof milliseconds, 0);
}

}  // namespace

FtpConnectResult OpenFtpConnection(const FtpEndpoint &endpoint, const FtpTimeouts &timeouts,
                                   CInternetHandle &session, CInternetHandle &connection,
                                   const std::function<bool()> &stopRequested) {
    connection.Close();
    session.Close();

    session.Reset(InternetOpenW(kAgentName, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session)
        return FtpConnectResult::kFailed;

    for (int attempt = 0; attempt < kFtpConnectAttempts; ++attempt) {
        SetTimeout(session.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, timeouts.connectMs);
        SetTimeout(session.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, timeouts.receiveMs);
        SetTimeout(session.Get(), INTERNET_OPTION_SEND_TIMEOUT, timeouts.sendMs);

        connection.Reset(InternetConnectW(session.Get(), endpoint.server.c_str(),
                                          static_cast<INTERNET_PORT>(endpoint.port),
                                          endpoint.user.c_str(), endpoint.password.c_str(),
                                          INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE,
                                          kSessionContext));
        if (connection)
            return FtpConnectResult::kConnected;

        if (attempt == kFtpConnectAttempts - 1) {
            session.Close();
            return FtpConnectResult::kFailed;
        }
        if (stopRequested && stopRequested()) {
            connection.Close();
            session.Close();
            return FtpConnectResult::kStopped;
        }
    }
    return FtpConnectResult::kFailed;  // not reached: the loop returns on its last attempt
}
