#include "common/registry_key.h"

#include <shlwapi.h>

#include "common/registry_path.h"
#include "common/system_function_win.h"

namespace {

HKEY PredefinedKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegistryRoot::CurrentConfig:
            return HKEY_CURRENT_CONFIG;
        case RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegistryRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegistryRoot::Users:
            return HKEY_USERS;
        case RegistryRoot::None:
            break;
    }
    return nullptr;
}

// Read and write where allowed; a key that may only be read still serves QueryValue.
LONG OpenKey(HKEY root, const std::wstring &subKey, HKEY &out) {
    LONG rc = RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ | KEY_WRITE, &out);
    if (rc == ERROR_ACCESS_DENIED) rc = RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ, &out);
    return rc;
}

}  // namespace

HKEY RegistryRootKey(const std::wstring &rootName) {
    return PredefinedKey(ParseRegistryRoot(rootName));
}

bool CRegistryKey::Open(const std::wstring &path) { return OpenOrCreate(path, false); }
bool CRegistryKey::Create(const std::wstring &path) { return OpenOrCreate(path, true); }
bool CRegistryKey::Open(HKEY root, const std::wstring &subKey) {
    return OpenOrCreate(root, subKey, false);
}
bool CRegistryKey::Create(HKEY root, const std::wstring &subKey) {
    return OpenOrCreate(root, subKey, true);
}

bool CRegistryKey::OpenOrCreate(const std::wstring &path, bool create) {
    Close();
    RegistryPath split;
    if (!SplitRegistryPath(path, split)) return false;
    if (!split.hasBackslash) {
        key_ = PredefinedKey(split.root);
        owned_ = false;
        return true;
    }
    return OpenOrCreate(PredefinedKey(split.root), split.subKey, create);
}

bool CRegistryKey::OpenOrCreate(HKEY root, const std::wstring &subKey, bool create) {
    Close();
    if (!root || subKey.empty()) return false;
    HKEY key = nullptr;
    LONG rc;
    if (create) {
        rc = RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    } else {
        rc = OpenKey(root, subKey, key);
    }
    if (rc != ERROR_SUCCESS) return false;
    key_ = key;
    owned_ = true;
    return true;
}

bool CRegistryKey::SetValue(const std::wstring &name, const std::wstring &data, DWORD type) {
    if (!key_) return false;
    if (type == REG_SZ) {
        DeleteValue(name);
        DWORD size = DWORD((data.size() + 1) * sizeof(wchar_t));
        return RegSetValueExW(key_, name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE *>(data.c_str()), size) == ERROR_SUCCESS;
    }
    if (type == REG_BINARY) {
        std::vector<std::uint8_t> bytes = ParseHexBytes(data);
        DeleteValue(name);
        return RegSetValueExW(key_, name.c_str(), 0, REG_BINARY, bytes.data(),
                              DWORD(bytes.size())) == ERROR_SUCCESS;
    }
    return false;
}

bool CRegistryKey::SetValue(const std::wstring &name, DWORD number, DWORD type) {
    if (!key_ || type != REG_DWORD) return false;
    DeleteValue(name);
    return RegSetValueExW(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number),
                          sizeof number) == ERROR_SUCCESS;
}

bool CRegistryKey::QueryValue(const std::wstring &name, std::vector<std::uint8_t> &bytes,
                              DWORD type) {
    bytes.clear();
    if (!key_) return false;
    DWORD stored = 0, size = 0;
    if (RegQueryValueExW(key_, name.c_str(), nullptr, &stored, nullptr, &size) != ERROR_SUCCESS)
        return false;
    if (stored != type || size > kQueryLimit) return false;
    bytes.resize(kQueryLimit);
    size = kQueryLimit;
    if (RegQueryValueExW(key_, name.c_str(), nullptr, &stored, bytes.data(), &size) !=
            ERROR_SUCCESS ||
        stored != type) {
        bytes.clear();
        return false;
    }
    bytes.resize(size);
    return true;
}

bool CRegistryKey::QueryValue(const std::wstring &name, std::wstring &text, DWORD type) {
    text.clear();
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    std::vector<std::uint8_t> bytes;
    if (!QueryValue(name, bytes, type)) return false;
    text = RegistryBytesToText(bytes);
    return true;
}

bool CRegistryKey::QueryValue(const std::wstring &name, DWORD &number) {
    number = 0;
    std::vector<std::uint8_t> bytes;
    if (!QueryValue(name, bytes, REG_DWORD) || bytes.size() != sizeof number) return false;
    number = DWORD(bytes[0]) | DWORD(bytes[1]) << 8 | DWORD(bytes[2]) << 16 | DWORD(bytes[3]) << 24;
    return true;
}

bool CRegistryKey::DeleteValue(const std::wstring &name) {
    return key_ && RegDeleteValueW(key_, name.c_str()) == ERROR_SUCCESS;
}

bool CRegistryKey::Close() {
    if (!key_) return false;
    if (owned_) RegCloseKey(key_);
    key_ = nullptr;
    owned_ = false;
    return true;
}

bool DeleteRegistryTree(HKEY root, const std::wstring &subKey, bool preferDeleteTree) {
    if (!root || subKey.empty()) return false;
    if (preferDeleteTree) {
        // XP's advapi32 has no RegDeleteTreeW.
        using DeleteTreeFn = LONG(WINAPI *)(HKEY, LPCWSTR);
        const auto deleteTree = FindSystemFunction<DeleteTreeFn>(L"advapi32.dll", "RegDeleteTreeW");
        if (deleteTree) return deleteTree(root, subKey.c_str()) == ERROR_SUCCESS;
    }
    return SHDeleteKeyW(root, subKey.c_str()) == ERROR_SUCCESS;
}

bool CRegistryKey::DeleteKey(const std::wstring &path) {
    RegistryPath split;
    if (!SplitRegistryPath(path, split) || !split.hasBackslash) return false;
    return DeleteRegistryTree(PredefinedKey(split.root), split.subKey);
}

namespace {

bool QueryEntryCount(HKEY root, const std::wstring &subKey, DWORD &count) {
    count = 0;
    HKEY key = nullptr;
    if (!root || RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD subKeys = 0, values = 0;
    LONG rc = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                               nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return false;
    count = subKeys + values;
    return true;
}

}  // namespace

DWORD CRegistryKey::CountEntries(HKEY root, const std::wstring &subKey) {
    DWORD count = 0;
    QueryEntryCount(root, subKey, count);
    return count;
}

bool CRegistryKey::IsEmptyKey(HKEY root, const std::wstring &subKey) {
    DWORD count = 0;
    return QueryEntryCount(root, subKey, count) && count == 0;
}
