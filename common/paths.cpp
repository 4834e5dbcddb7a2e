#include "common/paths.h"

#include "common/text.h"

namespace {

std::wstring Collapse(std::wstring path, wchar_t sep, wchar_t other, size_t keepLeading) {
    for (wchar_t &c : path)
        if (c == other) c = sep;
    std::wstring out;
    out.reserve(path.size());
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == sep && !out.empty() && out.back() == sep && i >= keepLeading) continue;
        out += path[i];
    }
    return out;
}

std::wstring Join(const std::wstring &a, const std::wstring &b, wchar_t sep) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    std::wstring left = StripTrailing(a, sep);
    size_t skip = 0;
    while (skip < b.size() && b[skip] == sep) ++skip;
    return left + sep + b.substr(skip);
}

}  // namespace

std::wstring NormaliseServerPath(const std::wstring &path) { return Collapse(path, L'/', L'\\', 0); }

std::wstring NormaliseLocalPath(const std::wstring &path) {
    bool network = path.size() >= 2 && (path[0] == L'\\' || path[0] == L'/') &&
                   (path[1] == L'\\' || path[1] == L'/');
    return Collapse(path, L'\\', L'/', network ? 2 : 0);
}

std::wstring JoinServerPath(const std::wstring &a, const std::wstring &b) { return Join(a, b, L'/'); }
std::wstring JoinLocalPath(const std::wstring &a, const std::wstring &b) { return Join(a, b, L'\\'); }

std::wstring LocalFolderOf(const std::wstring &path) {
    int i = FindLastChar(path, L'\\');
    return i < 0 ? path : path.substr(0, size_t(i));
}

std::wstring LocalNameOf(const std::wstring &path) {
    int i = FindLastChar(path, L'\\');
    return i < 0 ? std::wstring() : path.substr(size_t(i) + 1);
}
