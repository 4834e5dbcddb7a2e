#include "common/system_folders.h"

#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "common/text.h"

std::wstring GetProgramFile() {
    // Grows the buffer instead of cutting a long path.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (n == 0) return std::wstring();
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        if (buffer.size() >= 32768) return std::wstring();
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring GetProgramFolder() {
    std::wstring file = GetProgramFile();
    int slash = FindLastChar(file, L'\\');
    return slash < 0 ? std::wstring() : file.substr(0, size_t(slash));
}

bool GetSpecialFolder(std::wstring &path, std::wstring *displayName, int folderId) {
    path.clear();
    if (displayName) displayName->clear();
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, folderId, &pidl)) || !pidl) return false;
    wchar_t buffer[MAX_PATH] = {};
    bool ok = SHGetPathFromIDListW(pidl, buffer) != FALSE && buffer[0] != 0;
    if (ok) {
        path = buffer;
        if (displayName) {
            SHFILEINFOW info = {};
            if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &info, sizeof info,
                               SHGFI_PIDL | SHGFI_DISPLAYNAME))
                *displayName = info.szDisplayName;
        }
    }
    CoTaskMemFree(pidl);
    return ok;
}

bool ChangeFileAttributes(const std::wstring &file, DWORD set, DWORD clear) {
    DWORD current = GetFileAttributesW(file.c_str());
    if (current == INVALID_FILE_ATTRIBUTES) return false;
    DWORD wanted = (current | set) & ~clear;
    if (wanted == current) return true;
    if (wanted == 0) wanted = FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesW(file.c_str(), wanted) != FALSE;
}
