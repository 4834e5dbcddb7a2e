#ifndef UPDATER_CATALOGUE_LOCAL_FOLDER_LISTER_H
#define UPDATER_CATALOGUE_LOCAL_FOLDER_LISTER_H

#include <filesystem>
#include <string>

#include "updater/transfer/folder_lister.h"

// A catalogue tree in a folder on disk, listed the way the sample update server
// lists the same folder over FTP, so that a walk over either gives the same rows:
// entries in code point order of their names, each by its own status (a link is
// a file, as the server shows it). Server paths are resolved as the server does:
// "." and empty parts are dropped and ".." never climbs above the tree's root.
// Nothing is ever written: CreateFolder always fails, so walking a publisher's
// tree leaves it as it was.
class LocalFolderLister : public FolderLister {
public:
    explicit LocalFolderLister(std::filesystem::path root) : m_root(std::move(root)) {}

    bool ListFolders(TextList &folders, const std::wstring &folder) override;
    bool ListFiles(TextListTable &files, const std::wstring &folder) override;
    bool CreateFolder(const std::wstring &path) override;

    // The folder on disk a server path names.
    std::filesystem::path LocalPath(const std::wstring &serverPath) const;

private:
    std::filesystem::path m_root;
};

#endif
