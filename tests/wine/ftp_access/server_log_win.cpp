#include "tests/wine/ftp_access/server_log_win.h"

#include <windows.h>

#include <fstream>
#include <sstream>

int ServerPort(int fallback) {
    wchar_t port[16] = L"";
    GetEnvironmentVariableW(L"TESSEL_FTP_PORT", port, 16);
    return port[0] ? _wtoi(port) : fallback;
}

ServerLog::ServerLog() {
    wchar_t unixPath[1024] = L"";
    GetEnvironmentVariableW(L"TESSEL_FTP_STATE", unixPath, 1024);
    m_state = L"Z:" + std::wstring(unixPath);
    for (auto &c : m_state)
        if (c == L'/')
            c = L'\\';
}

std::wstring ServerLog::StatePath(const std::wstring &name) const { return m_state + L"\\" + name; }

std::string ServerLog::ReadAll() const {
    std::ifstream in(StatePath(L"server.log").c_str(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void ServerLog::Mark() { m_mark = ReadAll().size(); }

std::vector<std::string> ServerLog::LinesSinceMark() const {
    std::string all = ReadAll();
    std::vector<std::string> lines;
    if (all.size() <= m_mark)
        return lines;
    std::istringstream in(all.substr(m_mark));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

int ServerLog::Count(const std::string &address, const std::string &event) const {
    const std::string prefix = address + " " + event;
    int n = 0;
    for (const auto &line : LinesSinceMark())
        if (line.compare(0, prefix.size(), prefix) == 0)
            ++n;
    return n;
}

bool ServerLog::WaitUntilNoOpenSession(const std::string &address, int ms) const {
    return OpenSessions(address, 0, ms) == 0;
}

int ServerLog::OpenSessions(const std::string &address, int expected, int ms) const {
    int open = 0;
    for (int waited = 0;; waited += 50) {
        open = Count(address, "CONNECT") - Count(address, "DISCONNECT");
        if (open == expected || waited >= ms)
            return open;
        Sleep(50);
    }
}
