#ifndef UPDATER_CATALOGUE_RELEASE_INDEX_LISTER_H
#define UPDATER_CATALOGUE_RELEASE_INDEX_LISTER_H

#include <map>
#include <string>
#include <vector>

#include "updater/catalogue/release_index.h"
#include "updater/transfer/folder_lister.h"

// A verified release index listed as the server would list its tree, so that
// the same walk runs over it: each folder's entries in index order (the
// server's), sizes as the FTP listing reports them, names the listing rule
// refuses left out as every lister leaves them out. Paths outside the tree
// cannot be entered; nothing is ever created.
class ReleaseIndexLister : public FolderLister {
public:
    explicit ReleaseIndexLister(const ReleaseIndex &index);

    bool ListFolders(TextList &folders, const std::wstring &folder) override;
    bool ListFiles(FileListing &files, const std::wstring &folder) override;
    bool CreateFolder(const std::wstring &path) override;

    // The file's entry for an absolute server path; null when the index has none.
    const ReleaseIndexEntry *FindFile(const std::wstring &serverPath) const;

private:
    // The server path below the tree ("" for the tree itself); false outside it.
    bool Relative(const std::wstring &serverPath, std::wstring &relative) const;
    // The entries directly in `folder`, in index order; null when it is not a folder of the tree.
    const std::vector<const ReleaseIndexEntry *> *Children(const std::wstring &folder) const;

    const ReleaseIndex &m_index;
    std::map<std::wstring, std::vector<const ReleaseIndexEntry *>> m_children;
    std::map<std::wstring, const ReleaseIndexEntry *> m_files;
};

#endif
