#include "common/zip/entry_path.h"

#include <vector>

namespace {

bool IsForbiddenChar(wchar_t c) {
    return c < 0x20 || c == L':' || c == L'<' || c == L'>' || c == L'"' || c == L'|' ||
           c == L'?' || c == L'*';
}

// Windows drops trailing dots and spaces from a path component.
bool IsDotsOnly(const std::wstring &component) {
    size_t end = component.find_last_not_of(L". ");
    return end == std::wstring::npos;
}

}  // namespace

bool EntryNameToRelativePath(const std::wstring &name, std::wstring &relative) {
    relative.clear();
    if (name.empty() || name[0] == L'/' || name[0] == L'\\') return false;
    std::vector<std::wstring> parts;
    std::wstring part;
    for (size_t i = 0; i <= name.size(); ++i) {
        wchar_t c = i < name.size() ? name[i] : L'\\';
        if (c == L'/' || c == L'\\') {
            if (part.empty()) continue;
            if (IsDotsOnly(part)) return false;
            parts.push_back(part);
            part.clear();
            continue;
        }
        if (IsForbiddenChar(c)) return false;
        part.push_back(c);
    }
    if (parts.empty()) return false;
    std::wstring joined;
    for (const std::wstring &p : parts) {
        if (!joined.empty()) joined.push_back(L'\\');
        joined += p;
    }
    relative = joined;
    return true;
}
