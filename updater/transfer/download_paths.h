#ifndef UPDATER_TRANSFER_DOWNLOAD_PATHS_H
#define UPDATER_TRANSFER_DOWNLOAD_PATHS_H

#include <string>

// Where one download comes from and goes to.
struct DownloadPaths {
    std::wstring server;        // host text for the connection
    std::wstring serverFolder;  // "/"-separated, ending in "/"
    std::wstring fileName;      // name of the file on the server
    std::wstring localFolder;   // "\"-separated, ending in "\"
    std::wstring localName;     // name of the local file (the server's name when not given)

    std::wstring LocalFile() const { return localFolder + localName; }
};

// Splits a download's two paths. `local` is a full file path, a folder ending in
// "\" (the file keeps the server's name) or a path without a drive, which is
// taken below `programFolder`. `remote` is "server/folder/.../file"; a scheme
// ("ftp://") in front of the server is skipped. When `local` names a file, the
// server file of that same name is fetched from the remote text's folder.
DownloadPaths SplitDownloadPaths(const std::wstring &local, const std::wstring &remote,
                                 const std::wstring &programFolder);

// The file-name part of a local path as the Download window's title shows it:
// the text after the last separator, empty when the path ends in one.
std::wstring DownloadTitle(const std::wstring &local);

#endif
