#include "common/zip/entry_path.h"

#include <vector>

#include "common/paths.h"
#include "common/zip/entry_name.h"

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

bool BuildEntryTarget(const std::wstring &destination, const std::wstring &name, std::wstring &target) {
    target.clear();
    std::wstring relative;
    if (destination.empty() || !EntryNameToRelativePath(name, relative)) return false;
    std::wstring folder = NormaliseLocalPath(destination);
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    if (folder.empty()) return false;
    target = folder + L"\\" + relative;
    return true;
}

std::wstring DecodeNameLatin1(const std::string &bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (unsigned char c : bytes) text.push_back(static_cast<wchar_t>(c));
    return text;
}
