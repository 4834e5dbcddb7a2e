#ifndef UPDATER_TRANSFER_FTP_ACCESS_WIN_H
#define UPDATER_TRANSFER_FTP_ACCESS_WIN_H

#include <functional>
#include <string>

#include "common/text_list_table.h"
#include "updater/transfer/folder_lister.h"
#include "updater/transfer/ftp_endpoint.h"
#include "updater/transfer/internet_handle_win.h"

// Folder work on an update server: connect, create folders, list files and folders.
// One object per use, on one thread (the search's worker). Every operation after Connect
// starts from the server folder the previous one left current, so callers pass
// absolute paths.
class CFtpAccess : public FolderLister {
public:
    CFtpAccess() = default;
    ~CFtpAccess() override { Close(); }
    CFtpAccess(const CFtpAccess &) = delete;
    CFtpAccess &operator=(const CFtpAccess &) = delete;

    // Closes any open connection first; five attempts (see OpenFtpConnection),
    // given up between two when `stopRequested` says so.
    bool Connect(const std::wstring &server, int port, const std::wstring &user,
                 const std::wstring &password, const std::function<bool()> &stopRequested = {});
    bool Connect(const FtpEndpoint &endpoint, const std::function<bool()> &stopRequested = {}) {
        return Connect(endpoint.server, endpoint.port, endpoint.user, endpoint.password,
                       stopRequested);
    }
    void Close();
    bool IsConnected() const { return static_cast<bool>(m_connection); }

    bool CreateFolder(const std::wstring &path) override;
    // The whole file at the absolute server path `path` in one transfer; false
    // when it cannot be read or holds more than `maxBytes`.
    bool ReadFile(const std::wstring &path, size_t maxBytes, std::string &bytes);
    // The plain files in the server's order; the listing is emptied first. Entries
    // whose names the listing rule refuses are left out (see listing_names.h).
    bool ListFiles(FileListing &files, const std::wstring &folder) override;
    // Names of the sub-folders, the same way; the list is emptied first.
    bool ListFolders(TextList &folders, const std::wstring &folder) override;

private:
    template <typename OnEntry>
    bool ForEachEntry(const std::wstring &folder, OnEntry onEntry);

    CInternetHandle m_session;
    CInternetHandle m_connection;
    std::wstring m_server;
    int m_port = 0;
    std::wstring m_user;
    std::wstring m_password;
};

#endif
