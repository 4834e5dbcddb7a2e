#include "updater/transfer/ftp_access_win.h"

#include <cwchar>

#include "updater/catalogue/listing_names.h"
#include "updater/transfer/ftp_connection_win.h"

namespace {

bool IsDotEntry(const wchar_t *name) {
    return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0;
}

bool IsFolder(const WIN32_FIND_DATAW &entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A listed name becomes part of local paths only when the listing rule accepts it;
// the debugger output tells why an entry was left out.
bool IsUsable(const std::wstring &folder, const WIN32_FIND_DATAW &entry, ListedAs kind) {
    const std::wstring refused = RefusedListingName(entry.cFileName, kind);
    if (refused.empty())
        return true;
    const std::wstring line = L"Tessel: \"" + std::wstring(entry.cFileName) + L"\" in " + folder +
                              L" left out of the listing: " + refused + L"\n";
    OutputDebugStringW(line.c_str());
    return false;
}

// Windows reports an empty listing as ERROR_NO_MORE_FILES; Wine fails the
// find-first call without setting any error.
bool ListingWasEmpty(DWORD error) { return error == ERROR_NO_MORE_FILES || error == ERROR_SUCCESS; }

}  // namespace

bool CFtpAccess::Connect(const std::wstring &server, int port, const std::wstring &user,
                         const std::wstring &password, const std::function<bool()> &stopRequested) {
    Close();
    m_server = server;
    m_port = port;
    m_user = user;
    m_password = password;
    return OpenFtpConnection({m_server, m_port, m_user, m_password}, kFtpAccessTimeouts,
                             m_session, m_connection, stopRequested) == FtpConnectResult::kConnected;
}

void CFtpAccess::Close() {
    m_connection.Close();
    m_session.Close();
}

bool CFtpAccess::CreateFolder(const std::wstring &path) {
    if (!m_connection)
        return false;
    return FtpCreateDirectoryW(m_connection.Get(), path.c_str()) != FALSE;
}

bool CFtpAccess::ReadFile(const std::wstring &path, size_t maxBytes, std::string &bytes) {
    bytes.clear();
    const size_t slash = path.rfind(L'/');
    if (!m_connection || slash == std::wstring::npos)
        return false;
    // Entered first: the name alone goes with RETR, whatever its blanks.
    const std::wstring folder = slash == 0 ? L"/" : path.substr(0, slash);
    if (!FtpSetCurrentDirectoryW(m_connection.Get(), folder.c_str()))
        return false;
    CInternetHandle file(FtpOpenFileW(m_connection.Get(), path.substr(slash + 1).c_str(), GENERIC_READ,
                                      FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD, 0));
    if (!file)
        return false;
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(file.Get(), buffer, sizeof buffer, &read))
            return false;
        if (read == 0)
            return true;
        if (bytes.size() + read > maxBytes)
            return false;
        bytes.append(buffer, read);
    }
}

// Enters `folder` and hands every entry but "." and ".." to `onEntry`, in the
// server's order. False when there is no connection, the folder cannot be entered
// or the listing breaks off; an empty folder is a success.
template <typename OnEntry>
bool CFtpAccess::ForEachEntry(const std::wstring &folder, OnEntry onEntry) {
    if (!m_connection)
        return false;
    if (!FtpSetCurrentDirectoryW(m_connection.Get(), folder.c_str()))
        return false;

    WIN32_FIND_DATAW entry{};
    SetLastError(ERROR_SUCCESS);
    CInternetHandle find(
        FtpFindFirstFileW(m_connection.Get(), L"*.*", &entry, INTERNET_FLAG_RELOAD, 0));
    if (!find)
        return ListingWasEmpty(GetLastError());
    for (;;) {
        if (!IsDotEntry(entry.cFileName))
            onEntry(entry);
        if (!InternetFindNextFileW(find.Get(), &entry))
            return GetLastError() == ERROR_NO_MORE_FILES;
    }
}

bool CFtpAccess::ListFiles(FileListing &files, const std::wstring &folder) {
    files.clear();
    return ForEachEntry(folder, [&](const WIN32_FIND_DATAW &entry) {
        if (IsFolder(entry) || !IsUsable(folder, entry, ListedAs::kFile))
            return;
        wchar_t size[16];
        std::swprintf(size, 16, L"%d", static_cast<int>(entry.nFileSizeLow));
        files.push_back({entry.cFileName, size});
    });
}

bool CFtpAccess::ListFolders(TextList &folders, const std::wstring &folder) {
    folders.clear();
    return ForEachEntry(folder, [&](const WIN32_FIND_DATAW &entry) {
        if (IsFolder(entry) && IsUsable(folder, entry, ListedAs::kFolder))
            folders.push_back(entry.cFileName);
    });
}
