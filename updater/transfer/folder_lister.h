#ifndef UPDATER_TRANSFER_FOLDER_LISTER_H
#define UPDATER_TRANSFER_FOLDER_LISTER_H

#include <string>

#include "common/text_list_table.h"

// The folder work a walk over a server tree needs. Paths are absolute server
// paths ("/" separated). Listings keep the order the server lists in.
class FolderLister {
public:
    virtual ~FolderLister() = default;
    // Names of the sub-folders; the list is emptied first. False when `folder`
    // cannot be entered.
    virtual bool ListFolders(TextList &folders, const std::wstring &folder) = 0;
    // File name -> size texts ("%d" of the 32-bit size); the table is emptied first.
    virtual bool ListFiles(TextListTable &files, const std::wstring &folder) = 0;
    virtual bool CreateFolder(const std::wstring &path) = 0;
};

#endif
