#include "setup/archive/extract_target.h"

namespace {
bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
}

bool IsContainedRelativeTarget(const std::wstring &target) {
    if (target.empty() || IsSeparator(target[0])) return false;
    if (target.size() > 1 && target[1] == L':') return false;
    return target.find(L"..\\") == std::wstring::npos && target.find(L"../") == std::wstring::npos;
}

std::vector<std::wstring> FolderChain(const std::wstring &path, bool includeLast) {
    std::vector<std::wstring> chain;
    size_t start = 0;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // "\\server\share\": the share is not a folder one can create.
        size_t server = path.find_first_of(L"\\/", 2);
        size_t share = server == std::wstring::npos ? server : path.find_first_of(L"\\/", server + 1);
        if (share == std::wstring::npos) return chain;
        start = share + 1;
    } else if (path.size() >= 2 && path[1] == L':') {
        start = path.size() > 2 && IsSeparator(path[2]) ? 3 : 2;
    } else if (!path.empty() && IsSeparator(path[0])) {
        start = 1;
    }
    for (size_t i = start; i < path.size(); ++i) {
        if (IsSeparator(path[i]) && i > start && !IsSeparator(path[i - 1]))
            chain.push_back(path.substr(0, i));
    }
    if (includeLast && !path.empty() && !IsSeparator(path.back()) && path.size() > start)
        chain.push_back(path);
    return chain;
}
