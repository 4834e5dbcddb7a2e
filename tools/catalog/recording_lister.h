#ifndef TOOLS_CATALOG_RECORDING_LISTER_H
#define TOOLS_CATALOG_RECORDING_LISTER_H

#include <string>
#include <vector>

#include "updater/transfer/folder_lister.h"

// Passes a walk's requests on and keeps every answer, so that afterwards one can
// tell why the walk left a folder out without walking in another way.
class RecordingLister : public FolderLister {
public:
    struct Request {
        enum class Kind { Folders, Files, Create } kind;
        std::wstring path;
        bool ok = false;
        TextList names;  // what was listed (file names for Files)
    };

    explicit RecordingLister(FolderLister &inner) : m_inner(inner) {}

    bool ListFolders(TextList &folders, const std::wstring &folder) override;
    bool ListFiles(FileListing &files, const std::wstring &folder) override;
    bool CreateFolder(const std::wstring &path) override;

    // The last request of `kind` for exactly `path`; null when none was made.
    const Request *Find(Request::Kind kind, const std::wstring &path) const;
    const std::vector<Request> &Requests() const { return m_requests; }

private:
    FolderLister &m_inner;
    std::vector<Request> m_requests;
};

#endif
