#include "updater/catalogue/release_index_lister.h"

#include <cwchar>

#include "updater/catalogue/listing_names.h"

namespace {

const std::vector<const ReleaseIndexEntry *> kNone;

std::wstring NameOf(const ReleaseIndexEntry &entry) { return entry.path.substr(entry.path.rfind(L'/') + 1); }

}  // namespace

ReleaseIndexLister::ReleaseIndexLister(const ReleaseIndex &index) : m_index(index) {
    m_children[L""];
    for (const ReleaseIndexEntry &entry : index.entries) {
        const size_t slash = entry.path.rfind(L'/');
        const std::wstring parent = slash == std::wstring::npos ? L"" : entry.path.substr(0, slash);
        m_children[parent].push_back(&entry);
        if (entry.folder)
            m_children[entry.path];
        else
            m_files[entry.path] = &entry;
    }
}

bool ReleaseIndexLister::Relative(const std::wstring &serverPath, std::wstring &relative) const {
    std::wstring path = serverPath;
    while (path.size() > 1 && path.back() == L'/') path.pop_back();
    const std::wstring &tree = m_index.tree;
    if (path == tree) {
        relative.clear();
        return true;
    }
    if (path.size() <= tree.size() + 1 || path.compare(0, tree.size(), tree) != 0 || path[tree.size()] != L'/')
        return false;
    relative = path.substr(tree.size() + 1);
    return true;
}

const std::vector<const ReleaseIndexEntry *> *ReleaseIndexLister::Children(const std::wstring &folder) const {
    std::wstring relative;
    if (!Relative(folder, relative)) return nullptr;
    auto it = m_children.find(relative);
    return it == m_children.end() ? nullptr : &it->second;
}

bool ReleaseIndexLister::ListFolders(TextList &folders, const std::wstring &folder) {
    folders.clear();
    const auto *children = Children(folder);
    for (const ReleaseIndexEntry *entry : children ? *children : kNone)
        if (entry->folder && IsUsableListingName(NameOf(*entry), ListedAs::kFolder))
            folders.push_back(NameOf(*entry));
    return children != nullptr;
}

bool ReleaseIndexLister::ListFiles(FileListing &files, const std::wstring &folder) {
    files.clear();
    const auto *children = Children(folder);
    for (const ReleaseIndexEntry *entry : children ? *children : kNone) {
        if (entry->folder || !IsUsableListingName(NameOf(*entry), ListedAs::kFile)) continue;
        // The size as the FTP listing reports it: the low 32 bits, signed.
        wchar_t size[16];
        std::swprintf(size, 16, L"%d", static_cast<int>(static_cast<std::uint32_t>(entry->size & 0xFFFFFFFFu)));
        files.push_back({NameOf(*entry), size});
    }
    return children != nullptr;
}

bool ReleaseIndexLister::CreateFolder(const std::wstring &) { return false; }

const ReleaseIndexEntry *ReleaseIndexLister::FindFile(const std::wstring &serverPath) const {
    std::wstring relative;
    if (!Relative(serverPath, relative)) return nullptr;
    auto it = m_files.find(relative);
    return it == m_files.end() ? nullptr : it->second;
}
