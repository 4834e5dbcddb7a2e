#ifndef UPDATER_CATALOGUE_COUNTING_LISTER_H
#define UPDATER_CATALOGUE_COUNTING_LISTER_H

#include "updater/transfer/folder_lister.h"

// Passes a walk's requests on to another lister and counts them: the least an
// FTP dialogue can carry the walk with is one change of folder per folder asked
// for, one listing per folder that exists, and the folder creations.
class CountingLister : public FolderLister {
public:
    explicit CountingLister(FolderLister &inner) : m_inner(inner) {}

    bool ListFolders(TextList &folders, const std::wstring &folder) override {
        return Count(m_inner.ListFolders(folders, folder));
    }
    bool ListFiles(FileListing &files, const std::wstring &folder) override {
        return Count(m_inner.ListFiles(files, folder));
    }
    bool CreateFolder(const std::wstring &path) override {
        ++creations;
        return m_inner.CreateFolder(path);
    }
    int LeastFtpCommands() const { return asked + listed + creations; }

    int asked = 0;      // folders asked for
    int listed = 0;     // of them, folders that could be entered
    int creations = 0;  // folder creations

private:
    bool Count(bool entered) {
        ++asked;
        listed += entered ? 1 : 0;
        return entered;
    }

    FolderLister &m_inner;
};

#endif
