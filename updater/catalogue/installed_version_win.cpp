#include "updater/catalogue/installed_version_win.h"

#include <windows.h>

#include "common/registry_key.h"
#include "updater/catalogue/program_names_win.h"

namespace {

bool KeyOpens(const std::wstring &path) {
    CRegistryKey key;
    return key.Open(path);
}

}  // namespace

std::wstring ReadInstalledVersion(const std::wstring &component, const std::wstring &family) {
    const InventoryRule rule = FindInventoryRule(component);
    // The fallback key is taken without looking whether it exists.
    const std::wstring keyPath =
        rule.fallbackKey.empty() || KeyOpens(rule.key) ? rule.key : rule.fallbackKey;
    const std::wstring installedFile =
        NeedsInstalledFileTest(rule, family) ? GetInstalledFile(component) : L"";

    std::wstring version;
    CRegistryKey key;
    if (key.Open(keyPath)) {
        // A value of another type, or longer than the 129 characters the key object
        // reads, leaves the version empty.
        if (rule.versionFromKeyName)
            version = VersionFromKeyName(keyPath);
        else if (!key.QueryValue(rule.valueName, version, REG_SZ))
            version.clear();
        key.Close();
    }
    if (version.empty())
        return kNotInstalled;
    if (!installedFile.empty() && GetFileAttributesW(installedFile.c_str()) == INVALID_FILE_ATTRIBUTES)
        return kNotInstalled;
    return version;
}
