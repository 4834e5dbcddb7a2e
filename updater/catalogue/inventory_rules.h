#ifndef UPDATER_CATALOGUE_INVENTORY_RULES_H
#define UPDATER_CATALOGUE_INVENTORY_RULES_H

#include <string>

// Where the installed version of a server component is recorded on the device.

struct InventoryRule {
    std::wstring key;          // full key path tried first
    std::wstring fallbackKey;  // used when `key` cannot be opened; empty: none
    std::wstring valueName;    // REG_SZ value holding the version
    bool versionFromKeyName = false;  // no value: the key's own name gives the version
    bool makerComponent = false;      // the catch-all row: also the installed-file test
};

// "HKEY_LOCAL_MACHINE\SOFTWARE\Parvoni\Tessel" + family (empty for an unknown
// device): Tessel's own version, its autostart path, the release serials seen.
std::wstring ProductKeyPath(const std::wstring &family);

// The key a maker component's version is recorded under (value "version"): an
// update run writes it, the inventory reads it.
std::wstring MakerVersionKey(const std::wstring &component);

// The row for `component` (letter case ignored); the maker's own row for any
// name the table of other makers' software does not hold.
InventoryRule FindInventoryRule(const std::wstring &component);

// The installed-file test applies to maker components except on "CMPC" devices.
bool NeedsInstalledFileTest(const InventoryRule &rule, const std::wstring &family);

// The text after the key path's last backslash, less one leading "v" or "V":
// "...\.NETFramework\v3.0" -> "3.0".
std::wstring VersionFromKeyName(const std::wstring &keyPath);

// What the selection page shows for a component that is not installed.
extern const wchar_t kNotInstalled[];

// The installed version of a component, as the selection page shows it.
class InstalledVersions {
public:
    virtual ~InstalledVersions() = default;
    virtual std::wstring InstalledVersion(const std::wstring &component) = 0;
};

#endif
