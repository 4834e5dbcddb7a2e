#include "common/shortcuts.h"

#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "common/folders.h"
#include "common/paths.h"
#include "common/shortcut_path.h"
#include "common/system_folders.h"
#include "common/text.h"

namespace {

struct FolderIds {
    int common;
    int perUser;
};

bool FolderIdsOf(int type, FolderIds &ids) {
    switch (type) {
        case kStartMenuFolder:
            ids = {CSIDL_COMMON_STARTMENU, CSIDL_STARTMENU};
            return true;
        case kStartupFolder:
            ids = {CSIDL_COMMON_STARTUP, CSIDL_STARTUP};
            return true;
        case kDeskTopFolder:
            ids = {CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOP};
            return true;
        case kQuickLaunchFolder:
            ids = {CSIDL_COMMON_APPDATA, CSIDL_APPDATA};
            return true;
        default:
            return false;
    }
}

// COM for the calling thread, released only when this call started it.
class ComScope {
  public:
    ComScope() : started_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope() {
        if (started_) CoUninitialize();
    }
    ComScope(const ComScope &) = delete;
    ComScope &operator=(const ComScope &) = delete;

  private:
    bool started_;
};

template <typename T>
void Release(T *&p) {
    if (p) p->Release();
    p = nullptr;
}

bool SaveShellLink(const std::wstring &file, const std::wstring &description,
                   const std::wstring &target, const std::wstring &arguments,
                   const std::wstring &workingFolder, WORD hotKey) {
    IShellLinkW *link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void **>(&link))))
        return false;
    link->SetPath(target.c_str());
    link->SetDescription(description.c_str());
    link->SetHotkey(hotKey);
    link->SetArguments(arguments.c_str());
    link->SetWorkingDirectory(workingFolder.c_str());
    IPersistFile *persist = nullptr;
    bool saved =
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&persist))) &&
        SUCCEEDED(persist->Save(file.c_str(), TRUE));
    Release(persist);
    Release(link);
    return saved;
}

// The special folder a token names; Quick Launch's ends in a backslash.
bool ShortcutBaseFolder(int type, bool common, std::wstring &base) {
    FolderIds ids;
    if (!FolderIdsOf(type, ids)) return false;
    if (!GetSpecialFolder(base, nullptr, common ? ids.common : ids.perUser)) return false;
    if (type == kQuickLaunchFolder) base = StripTrailing(base, L'\\') + kQuickLaunchBelowAppData;
    return true;
}

// Shell folders that can lie below a token's folder and may be empty.
bool IsStandardShellFolder(const std::wstring &path) {
    for (int id : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, CSIDL_STARTUP, CSIDL_COMMON_STARTUP}) {
        std::wstring folder;
        if (GetSpecialFolder(folder, nullptr, id) &&
            EqualsNoCase(StripTrailing(folder, L'\\'), path))
            return true;
    }
    return false;
}

}  // namespace

bool BuildShortcutPath(int type, const std::wstring &subFolder, const std::wstring &name,
                       bool common, std::wstring &path) {
    path.clear();
    std::wstring base;
    if (!ShortcutBaseFolder(type, common, base)) return false;
    path = ComposeShortcutPath(base, type, subFolder, name);
    return true;
}

bool DeleteShortcut(const std::wstring &folder, const std::wstring &name) {
    ShortcutFolderText parsed;
    if (!IsShortcutPathAllowed(folder, name) || !ParseShortcutFolder(folder, parsed)) return false;
    std::wstring shortName = ShortcutNameOf(name);
    bool result = false;
    for (bool common : {true, false}) {
        std::wstring path;
        if (BuildShortcutPath(parsed.type, parsed.subFolder, shortName, common, path) &&
            path.size() > 3)
            result = DeleteFileW(path.c_str()) != FALSE;
    }
    return result;
}

int RemoveEmptyShortcutFolders(const std::wstring &folder) {
    ShortcutFolderText parsed;
    if (!ParseShortcutFolder(folder, parsed)) return 0;
    const std::vector<std::wstring> chain = ShortcutSubFolderChain(parsed.subFolder);
    int removed = 0;
    for (bool common : {true, false}) {
        std::wstring base;
        if (chain.empty() || !ShortcutBaseFolder(parsed.type, common, base)) continue;
        base = StripTrailing(base, L'\\');
        if (base.size() <= 3) continue;
        for (const std::wstring &sub : chain) {
            const std::wstring path = base + L"\\" + sub;
            if (IsStandardShellFolder(path) || !RemoveDirectoryW(path.c_str())) break;
            ++removed;
        }
    }
    return removed;
}

bool CreateShortcut(const std::wstring &folder, const std::wstring &name,
                    const std::wstring &description, const std::wstring &target,
                    const std::wstring &arguments, const std::wstring &workingFolder, WORD hotKey,
                    bool overwrite) {
    ShortcutFolderText parsed;
    if (!IsShortcutPathAllowed(folder, name) || !ParseShortcutFolder(folder, parsed)) return false;
    std::wstring shortName = ShortcutNameOf(name);
    std::wstring file;
    if (!BuildShortcutPath(parsed.type, parsed.subFolder, shortName, true, file)) return false;
    CreateFolderPath(LocalFolderOf(file));
    if (!overwrite && GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    DeleteShortcut(folder, name);

    ComScope com;
    bool saved = SaveShellLink(file, description, target, arguments, workingFolder, hotKey);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
    return saved;
}
