#ifndef TESTS_WINE_FTP_ACCESS_SERVER_LOG_WIN_H
#define TESTS_WINE_FTP_ACCESS_SERVER_LOG_WIN_H

#include <string>
#include <vector>

// The sample update server's event log ("<address> <EVENT> <detail>" per line),
// read through Wine's Z: drive from the folder named by TESSEL_FTP_STATE.
// The port the test's server listens on (TESSEL_FTP_PORT), or `fallback`.
int ServerPort(int fallback);

class ServerLog {
public:
    ServerLog();
    // Windows path of a file in the server's state folder.
    std::wstring StatePath(const std::wstring &name) const;
    // Lines written since the last Mark().
    std::vector<std::string> LinesSinceMark() const;
    void Mark();
    // Lines since the mark that begin with "<address> <event>".
    int Count(const std::string &address, const std::string &event) const;
    // Waits up to `ms` for as many DISCONNECT as CONNECT lines of `address` since the mark.
    bool WaitUntilNoOpenSession(const std::string &address, int ms) const;
    // Connections of `address` still open (CONNECT minus DISCONNECT since the mark),
    // after waiting up to `ms` for that figure to reach `expected`.
    int OpenSessions(const std::string &address, int expected, int ms) const;

private:
    std::string ReadAll() const;
    std::wstring m_state;
    size_t m_mark = 0;
};

#endif
