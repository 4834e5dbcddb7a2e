#ifndef UPDATER_TRANSFER_FOLDER_LISTER_H
#define UPDATER_TRANSFER_FOLDER_LISTER_H

#include <string>
#include <vector>

#include "common/text_list_table.h"

// One file of a folder listing.
struct ListedFile {
    std::wstring name;
    std::wstring size;  // "%d" of the low 32 bits of the size
};
using FileListing = std::vector<ListedFile>;

// The folder work a walk over a server tree needs. Paths are absolute server
// paths ("/" separated). Listings are sequences in the order the server lists
// in: the insertion sort of the walk starts from that order, and names that
// differ only in letter case stay two entries.
class FolderLister {
public:
    virtual ~FolderLister() = default;
    // Names of the sub-folders; the list is emptied first. False when `folder`
    // cannot be entered.
    virtual bool ListFolders(TextList &folders, const std::wstring &folder) = 0;
    // The plain files; the listing is emptied first.
    virtual bool ListFiles(FileListing &files, const std::wstring &folder) = 0;
    virtual bool CreateFolder(const std::wstring &path) = 0;
};

#endif
