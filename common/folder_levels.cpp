#include "common/folder_levels.h"

#include "common/paths.h"
#include "common/text.h"

namespace {

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// Length of the part of a normalised path that is a root rather than a folder:
// "C:\" 3, "\" 1, "\\server\share\" its length, 0 for a relative path.
size_t RootLength(const std::wstring &path) {
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':')
        return path.size() >= 3 && path[2] == L'\\' ? 3 : 2;
    if (path.compare(0, 2, L"\\\\") == 0) {
        size_t server = path.find(L'\\', 2);
        if (server == std::wstring::npos) return path.size();
        size_t share = path.find(L'\\', server + 1);
        return share == std::wstring::npos ? path.size() : share + 1;
    }
    if (!path.empty() && path[0] == L'\\') return 1;
    return 0;
}

}  // namespace

std::vector<std::wstring> FolderPathLevels(const std::wstring &path) {
    std::wstring normal = NormaliseLocalPath(path);
    std::vector<std::wstring> levels;
    size_t root = RootLength(normal);
    std::wstring current = normal.substr(0, root);
    bool network = current.compare(0, 2, L"\\\\") == 0;
    if (network) current = StripTrailing(current, L'\\');
    if (!current.empty()) levels.push_back(current);
    // "C:" and "C:\" are followed directly by the first folder name.
    bool needSeparator = network;
    for (size_t pos = root; pos < normal.size();) {
        size_t end = normal.find(L'\\', pos);
        if (end == std::wstring::npos) end = normal.size();
        if (end > pos) {
            if (needSeparator) current += L'\\';
            current += normal.substr(pos, end - pos);
            levels.push_back(current);
            needSeparator = true;
        }
        pos = end + 1;
    }
    return levels;
}

bool IsProtectedFolderPath(const std::wstring &path) {
    std::wstring normal = StripTrailing(NormaliseLocalPath(path), L'\\');
    if (normal.empty()) return true;
    std::wstring withSlash = normal + L'\\';
    return RootLength(withSlash) >= withSlash.size();
}

bool HasRelativeComponent(const std::wstring &path) {
    std::wstring normal = NormaliseLocalPath(path);
    size_t pos = 0;
    while (pos <= normal.size()) {
        size_t end = normal.find(L'\\', pos);
        if (end == std::wstring::npos) end = normal.size();
        std::wstring part = normal.substr(pos, end - pos);
        if (part == L"." || part == L"..") return true;
        pos = end + 1;
    }
    return false;
}
