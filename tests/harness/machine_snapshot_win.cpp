#include "tests/harness/machine_snapshot_win.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "tests/harness/utf8_win.h"

namespace {

std::wstring Lower(std::wstring text) {
    CharLowerBuffW(&text[0], DWORD(text.size()));
    return text;
}

void AddFolder(const std::wstring &folder, const std::set<std::wstring> &skipped,
               MachineSnapshot &out) {
    if (skipped.count(Lower(folder))) return;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        // Links to folders (Wine's "My Documents" and the like) are looked at, not followed.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            if (skipped.count(Lower(path))) continue;
            out.insert(path + L"\\");
            AddFolder(path, skipped, out);
        } else {
            out.insert(path);
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

std::wstring Hex(const BYTE *data, DWORD size) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring text;
    for (DWORD i = 0; i < size; ++i) {
        text += digits[data[i] >> 4];
        text += digits[data[i] & 15];
    }
    return text;
}

void AddKey(HKEY root, const std::wstring &rootName, const std::wstring &path,
            const std::set<std::wstring> &skipped, MachineSnapshot &out) {
    const std::wstring shown = rootName + L"\\" + path;
    if (skipped.count(Lower(shown))) return;
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    out.insert(shown + L"\\");
    std::vector<wchar_t> name(16384);
    std::vector<BYTE> data(1 << 16);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = DWORD(name.size()), dataSize = DWORD(data.size()), type = 0;
        LONG status =
            RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &dataSize);
        if (status == ERROR_MORE_DATA) {
            data.resize(dataSize + 2);
            --i;
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        out.insert(shown + L":" + std::wstring(name.data(), nameLength) + L" = " +
                   std::to_wstring(type) + L":" + Hex(data.data(), dataSize));
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = DWORD(name.size());
        if (RegEnumKeyExW(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        children.emplace_back(name.data(), nameLength);
    }
    RegCloseKey(key);
    for (const std::wstring &child : children)
        AddKey(root, rootName, path + L"\\" + child, skipped, out);
}

}  // namespace

std::vector<std::wstring> TransientPlaces() {
    wchar_t windows[MAX_PATH] = L"", user[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_WINDOWS, nullptr, 0, windows);
    GetTempPathW(MAX_PATH, user);
    return {std::wstring(windows) + L"\\Temp", user,
            L"HKCU\\Software\\Wine\\Temporary System Parameters"};
}

MachineSnapshot TakeMachineSnapshot(const std::vector<std::wstring> &skippedPlaces) {
    std::set<std::wstring> skipped;
    for (std::wstring place : skippedPlaces) {
        while (!place.empty() && place.back() == L'\\') place.pop_back();
        skipped.insert(Lower(place));
    }
    MachineSnapshot snapshot;
    AddFolder(L"C:", skipped, snapshot);
    AddKey(HKEY_LOCAL_MACHINE, L"HKLM", L"Software", skipped, snapshot);
    AddKey(HKEY_CURRENT_USER, L"HKCU", L"Software", skipped, snapshot);
    return snapshot;
}

SnapshotChanges CompareSnapshots(const MachineSnapshot &before, const MachineSnapshot &after) {
    SnapshotChanges changes;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(changes.added));
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(changes.removed));
    return changes;
}

std::string DescribeChanges(const SnapshotChanges &changes, size_t limit) {
    std::string text;
    size_t lines = 0;
    for (const auto &list :
         {std::make_pair("+ ", &changes.added), std::make_pair("- ", &changes.removed)})
        for (const std::wstring &entry : *list.second) {
            if (lines++ == limit) return text + "...\n";
            text += list.first + Utf8(entry) + "\n";
        }
    return text;
}
