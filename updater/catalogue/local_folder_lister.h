#ifndef UPDATER_CATALOGUE_LOCAL_FOLDER_LISTER_H
#define UPDATER_CATALOGUE_LOCAL_FOLDER_LISTER_H

#include <filesystem>
#include <string>
#include <vector>

#include "updater/transfer/folder_lister.h"

// A catalogue tree in a folder on disk, listed the way the sample update server
// lists the same folder over FTP, so that a walk over either gives the same rows:
// entries in code point order of their names, each by its own status (a link is
// a file, as the server shows it). Server paths are resolved as the server does:
// "." and empty parts are dropped and ".." never climbs above the tree's root.
// Nothing is ever written: CreateFolder always fails, so walking a publisher's
// tree leaves it as it was. Entries whose names the listing rule refuses are left
// out, as on a device, and kept in Refused() for the publisher to see.
class LocalFolderLister : public FolderLister {
public:
    explicit LocalFolderLister(std::filesystem::path root) : m_root(std::move(root)) {}

    bool ListFolders(TextList &folders, const std::wstring &folder) override;
    bool ListFiles(FileListing &files, const std::wstring &folder) override;
    bool CreateFolder(const std::wstring &path) override;

    struct RefusedEntry {
        std::wstring folder;  // server path of the listed folder
        std::wstring name;
        std::wstring reason;
    };
    // Every entry left out so far, once each (however its folder was spelt).
    const std::vector<RefusedEntry> &Refused() const { return m_refused; }

    // The folder on disk a server path names.
    std::filesystem::path LocalPath(const std::wstring &serverPath) const;

private:
    struct Entry;
    bool ReadFolder(const std::wstring &folder, std::vector<Entry> &entries);
    void NoteRefused(RefusedEntry refused);

    std::filesystem::path m_root;
    std::vector<RefusedEntry> m_refused;
};

#endif
