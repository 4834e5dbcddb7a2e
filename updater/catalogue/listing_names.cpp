#include "updater/catalogue/listing_names.h"

#include <cwchar>

#include "common/text.h"

namespace {

bool OnlyDotsAndBlanks(const std::wstring &name) {
    return name.find_first_not_of(L". ") == std::wstring::npos;
}

// "\" separated, no doubled separators, no trailing one.
std::wstring Normalised(const std::wstring &path) {
    std::wstring out;
    for (wchar_t c : path) {
        if (c == L'/')
            c = L'\\';
        if (c == L'\\' && !out.empty() && out.back() == L'\\')
            continue;
        out.push_back(c);
    }
    return StripTrailing(out, L'\\');
}

}  // namespace

std::wstring RefusedListingName(const std::wstring &name, ListedAs kind) {
    if (name.empty())
        return L"empty name";
    for (wchar_t c : name) {
        if (c == L'\\' || c == L'/')
            return L"holds a path separator";
        if (c != L'\0' && std::wcschr(L":*?\"<>|", c))
            return L"holds a character Windows does not allow in names";
        if (c < 0x20 || c == 0x7F)
            return L"holds a control character";
    }
    if (OnlyDotsAndBlanks(name))
        return L"made only of dots and blanks";
    if (kind == ListedAs::kFile && OnlyDotsAndBlanks(ListedPackageName(name)))
        return L"its package name is made only of dots and blanks";
    return L"";
}

std::wstring ListedPackageName(const std::wstring &fileName) {
    const size_t dot = fileName.rfind(L'.');
    if (dot == std::wstring::npos || dot == 0)
        return fileName;
    return fileName.substr(0, dot);
}

bool IsPackageFolderIn(const std::wstring &programFiles, const std::wstring &folder) {
    const std::wstring parent = Normalised(programFiles), child = Normalised(folder);
    if (parent.empty() || child.size() <= parent.size() + 1 ||
        !StartsWithNoCase(child, parent) || child[parent.size()] != L'\\')
        return false;
    return IsUsableListingName(child.substr(parent.size() + 1), ListedAs::kFolder);
}
