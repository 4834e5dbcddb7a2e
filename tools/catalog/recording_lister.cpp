#include "tools/catalog/recording_lister.h"

bool RecordingLister::ListFolders(TextList &folders, const std::wstring &folder) {
    const bool ok = m_inner.ListFolders(folders, folder);
    m_requests.push_back({Request::Kind::Folders, folder, ok, folders});
    return ok;
}

bool RecordingLister::ListFiles(FileListing &files, const std::wstring &folder) {
    const bool ok = m_inner.ListFiles(files, folder);
    TextList names;
    for (const ListedFile &file : files) names.push_back(file.name);
    m_requests.push_back({Request::Kind::Files, folder, ok, names});
    return ok;
}

bool RecordingLister::CreateFolder(const std::wstring &path) {
    const bool ok = m_inner.CreateFolder(path);
    m_requests.push_back({Request::Kind::Create, path, ok, {}});
    return ok;
}

const RecordingLister::Request *RecordingLister::Find(Request::Kind kind,
                                                      const std::wstring &path) const {
    for (auto it = m_requests.rbegin(); it != m_requests.rend(); ++it) {
        if (it->kind == kind && it->path == path) return &*it;
    }
    return nullptr;
}
