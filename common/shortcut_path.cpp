#include "common/shortcut_path.h"

#include "common/paths.h"
#include "common/text.h"

const wchar_t kQuickLaunchBelowAppData[] = L"\\Microsoft\\Internet Explorer\\Quick Launch\\";

namespace {

const struct {
    const wchar_t *token;
    int type;
} kTokens[] = {
    {L"{StartMenu}", kStartMenuFolder},
    {L"{Startup}", kStartupFolder},
    {L"{DeskTop}", kDeskTopFolder},
    {L"{QuickLaunch}", kQuickLaunchFolder},
};

std::wstring SkipLeadingBackslashes(const std::wstring &text) {
    size_t skip = 0;
    while (skip < text.size() && text[skip] == L'\\') ++skip;
    return text.substr(skip);
}

// Windows drops trailing dots and blanks from a path part, so "..." and ". ." lead
// upwards as ".." does; a ":" would name a drive or a stream.
bool StaysBelow(const std::wstring &part) {
    if (part.find(L':') != std::wstring::npos) return false;
    return part.find_first_not_of(L". ") != std::wstring::npos;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Every part between separators stays below; empty parts (doubled separators)
// are collapsed by the path's normalisation.
bool AllPartsStayBelow(const std::wstring &path) {
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        const std::wstring part = path.substr(start, end - start);
        if (!part.empty() && !StaysBelow(part)) return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

bool IsShortcutPathAllowed(const std::wstring &folder, const std::wstring &name) {
    for (const auto &entry : kTokens) {
        const std::wstring token = entry.token;
        if (!StartsWithNoCase(folder, token)) continue;
        std::wstring subFolder = folder.substr(token.size());
        if (!subFolder.empty() && IsSeparator(subFolder[0])) subFolder.erase(0, 1);
        if (!subFolder.empty() && IsSeparator(subFolder[0])) return false;
        return !name.empty() && !IsSeparator(name[0]) && AllPartsStayBelow(subFolder) &&
               AllPartsStayBelow(name);
    }
    return false;
}

bool ParseShortcutFolder(const std::wstring &folder, ShortcutFolderText &out) {
    out = ShortcutFolderText();
    for (const auto &entry : kTokens) {
        std::wstring token = entry.token;
        if (!StartsWithNoCase(folder, token)) continue;
        out.type = entry.type;
        out.subFolder = StripTrailing(
            SkipLeadingBackslashes(NormaliseLocalPath(folder.substr(token.size()))), L'\\');
        return true;
    }
    return false;
}

std::wstring ShortcutNameOf(const std::wstring &name) { return SkipLeadingBackslashes(name); }

std::wstring ComposeShortcutPath(const std::wstring &base, int type, const std::wstring &subFolder,
                                 const std::wstring &name) {
    std::wstring path = base;
    if (type == kQuickLaunchFolder) {
        if (path.empty() || path.back() != L'\\') path += L'\\';
        if (!subFolder.empty()) path += subFolder + L"\\";
    } else {
        path = StripTrailing(path, L'\\') + L"\\";
        if (!subFolder.empty()) path += subFolder + L"\\";
    }
    return path + name + L".lnk";
}

std::vector<std::wstring> ShortcutSubFolderChain(const std::wstring &subFolder) {
    std::vector<std::wstring> chain;
    size_t start = 0;
    while (start < subFolder.size()) {
        size_t end = subFolder.find(L'\\', start);
        if (end == std::wstring::npos) end = subFolder.size();
        const std::wstring part = subFolder.substr(start, end - start);
        if (!StaysBelow(part)) return {};
        chain.insert(chain.begin(), subFolder.substr(0, end));
        start = end + 1;
    }
    return chain;
}
