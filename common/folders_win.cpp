#include "common/folders.h"

#include "common/folder_levels.h"
#include "common/system_folders.h"
#include "common/text.h"

bool CreateFolderPath(const std::wstring &path) {
    for (const std::wstring &level : FolderPathLevels(path)) {
        DWORD attrs = GetFileAttributesW(level.c_str());
        if (attrs == INVALID_FILE_ATTRIBUTES) {
            if (!CreateDirectoryW(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
                return false;
            attrs = GetFileAttributesW(level.c_str());
        }
        // A file of that name is no folder to go on from.
        if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY)) return false;
    }
    return true;
}

namespace {

bool Stopped(HANDLE stopEvent) {
    return stopEvent && WaitForSingleObject(stopEvent, 0) == WAIT_OBJECT_0;
}

bool RemoveEmptiedFolder(const std::wstring &folder) {
    ChangeFileAttributes(folder, 0, FILE_ATTRIBUTE_READONLY);
    return RemoveDirectoryW(folder.c_str()) != FALSE;
}

bool DeleteTreeBelow(const std::wstring &folder, HANDLE stopEvent) {
    if (Stopped(stopEvent)) return false;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*.*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        bool ok = true;
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                // A junction's target is not ours to empty: remove only the link.
                ok = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                         ? RemoveEmptiedFolder(full)
                         : DeleteTreeBelow(full, stopEvent);
            } else {
                ChangeFileAttributes(full, 0, FILE_ATTRIBUTE_READONLY);
                ok = DeleteFileW(full.c_str()) != FALSE;
            }
        } while (ok && FindNextFileW(find, &found));
        FindClose(find);
        if (!ok) return false;
    }
    return RemoveEmptiedFolder(folder);
}

}  // namespace

bool DeleteFolderTree(const std::wstring &path, HANDLE stopEvent) {
    if (path.size() <= 3 || IsProtectedFolderPath(path)) return true;
    if (HasRelativeComponent(path)) return false;
    return DeleteTreeBelow(StripTrailing(path, L'\\'), stopEvent);
}
