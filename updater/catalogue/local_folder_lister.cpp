#include "updater/catalogue/local_folder_lister.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <system_error>
#include <vector>

#include "common/text.h"
#include "updater/catalogue/listing_names.h"

namespace fs = std::filesystem;

struct LocalFolderLister::Entry {
    std::wstring name;
    std::u32string order;  // the name in code points, the server's sort key
    bool folder = false;
    std::uintmax_t size = 0;
};

namespace {

std::wstring NameOf(const fs::path &path) {
#ifdef _WIN32
    return path.filename().native();
#else
    return WidenUtf8(path.filename().native());
#endif
}

std::u32string CodePoints(const std::wstring &text) {
    std::u32string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if (sizeof(wchar_t) == 2 && c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
            const char32_t low = static_cast<char32_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        out.push_back(c);
    }
    return out;
}

}  // namespace

// The folder's usable entries in the order the sample server lists them; false
// when the folder cannot be entered or read.
bool LocalFolderLister::ReadFolder(const std::wstring &serverFolder, std::vector<Entry> &entries) {
    const fs::path folder = LocalPath(serverFolder);
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return false;
    fs::directory_iterator it(folder, error), end;
    if (error)
        return false;
    for (; it != end; it.increment(error)) {
        if (error)
            return false;
        const fs::file_status status = it->symlink_status(error);
        if (error)
            continue;  // vanished meanwhile: the server leaves it out too
        Entry entry;
        entry.name = NameOf(it->path());
        entry.order = CodePoints(entry.name);
        entry.folder = fs::is_directory(status);
        if (fs::is_regular_file(status))
            entry.size = it->file_size(error);
        const std::wstring refused =
            RefusedListingName(entry.name, entry.folder ? ListedAs::kFolder : ListedAs::kFile);
        if (!refused.empty()) {
            NoteRefused({serverFolder, entry.name, refused});
            continue;
        }
        entries.push_back(std::move(entry));
    }
    if (error)
        return false;
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.order < b.order; });
    return true;
}

void LocalFolderLister::NoteRefused(RefusedEntry refused) {
    for (const RefusedEntry &known : m_refused) {
        if (known.name == refused.name && LocalPath(known.folder) == LocalPath(refused.folder))
            return;
    }
    m_refused.push_back(std::move(refused));
}

fs::path LocalFolderLister::LocalPath(const std::wstring &serverPath) const {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= serverPath.size()) {
        size_t slash = serverPath.find(L'/', start);
        if (slash == std::wstring::npos)
            slash = serverPath.size();
        const std::wstring part = serverPath.substr(start, slash - start);
        if (part == L"..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    fs::path local = m_root;
    for (const std::wstring &part : parts) {
#ifdef _WIN32
        local /= part;
#else
        local /= NarrowUtf8(part);
#endif
    }
    return local;
}

bool LocalFolderLister::ListFolders(TextList &folders, const std::wstring &folder) {
    folders.clear();
    std::vector<Entry> entries;
    if (!ReadFolder(folder, entries))
        return false;
    for (const Entry &entry : entries) {
        if (entry.folder)
            folders.push_back(entry.name);
    }
    return true;
}

bool LocalFolderLister::ListFiles(FileListing &files, const std::wstring &folder) {
    files.clear();
    std::vector<Entry> entries;
    if (!ReadFolder(folder, entries))
        return false;
    for (const Entry &entry : entries) {
        if (entry.folder)
            continue;
        // The size as the FTP listing reports it: the low 32 bits, signed.
        wchar_t size[16];
        std::swprintf(size, 16, L"%d",
                      static_cast<int>(static_cast<std::uint32_t>(entry.size & 0xFFFFFFFFu)));
        files.push_back({entry.name, size});
    }
    return true;
}

bool LocalFolderLister::CreateFolder(const std::wstring &) { return false; }
