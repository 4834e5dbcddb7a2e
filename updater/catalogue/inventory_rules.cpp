#include "updater/catalogue/inventory_rules.h"

#include "common/text.h"

const wchar_t kNotInstalled[] = L"-";

namespace {

#define UNINSTALL_KEY L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"

struct TableRow {
    const wchar_t *component;
    const wchar_t *key;
    const wchar_t *fallbackKey;
    const wchar_t *valueName;  // null: version from the key name
};

// Drivers and programs of other makers, as their own installers record them.
const TableRow kOtherMakers[] = {
    {L"Chipset Device", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Intel\\Infinst", nullptr, L"version"},
    {L"Audio Driver", UNINSTALL_KEY L"{F132AF7F-7BCA-4EDE-8A7C-958108FE7DBC}",
     UNINSTALL_KEY L"{E3A5A8AB-58F6-45FF-AFCB-C9AE18C05001}", L"DisplayVersion"},
    {L"Graphic Driver", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Intel\\LPCO", nullptr, L"version"},
    {L"Touch Pad", UNINSTALL_KEY L"SynTPDeinstKey", nullptr, L"DisplayVersion"},
    {L"Touch Screen", UNINSTALL_KEY L"{237F5675-A88E-43DB-8E21-087BCC9230F9}",
     UNINSTALL_KEY L"{E6677AB9-D020-44A9-A93A-8A66ACAB7960}", L"DisplayVersion"},
    {L"Touchside", UNINSTALL_KEY L"{69EA14A5-F95C-4587-94C4-E43075A4F5E2}", nullptr,
     L"DisplayVersion"},
    {L"HIDeGalaxTouch", UNINSTALL_KEY L"{57E53503-0960-4AB0-A127-405FB1574A20}", nullptr,
     L"DisplayVersion"},
    {L"BlueSoleil", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\IVT Corporation\\BlueSoleil\\Install", nullptr,
     L"ProductVersion"},
    {L"USBC Client", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Intel\\USBCClient", nullptr, L"Version"},
    {L"USB Mass Storage Device", UNINSTALL_KEY L"{959B7F35-2819-40C5-A0CD-3C53B5FCC935}", nullptr,
     L"DisplayVersion"},
    {L".NET Framework", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\.NETFramework\\v3.0", nullptr,
     nullptr},
    {L"Adobe AIR", UNINSTALL_KEY L"Adobe AIR", nullptr, L"DisplayVersion"},
    {L"Adobe Flash Player ActiveX", UNINSTALL_KEY L"Adobe Flash Player ActiveX", nullptr,
     L"DisplayVersion"},
    {L"Adobe Flash Player Plugin", UNINSTALL_KEY L"Adobe Flash Player Plugin", nullptr,
     L"DisplayVersion"},
    {L"Cyberlink PowerDVD 8.0 SE", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Cyberlink\\PowerDVD8SE\\BuildInfo",
     nullptr, L"Ver"},
};

// The maker's own components: the version the update manager recorded itself.
const wchar_t kMakerMachineRoot[] = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni";
const wchar_t kMakerUserRoot[] = L"HKEY_CURRENT_USER\\SOFTWARE\\Parvoni";

}  // namespace

std::wstring ProductKeyPath(const std::wstring &family) {
    return std::wstring(kMakerMachineRoot) + L"\\Tessel" + family;
}

std::wstring MakerVersionKey(const std::wstring &component) {
    return std::wstring(kMakerMachineRoot) + L"\\" + component;
}

InventoryRule FindInventoryRule(const std::wstring &component) {
    InventoryRule rule;
    for (const TableRow &row : kOtherMakers) {
        if (!EqualsNoCase(component, row.component))
            continue;
        rule.key = row.key;
        rule.fallbackKey = row.fallbackKey ? row.fallbackKey : L"";
        rule.valueName = row.valueName ? row.valueName : L"";
        rule.versionFromKeyName = row.valueName == nullptr;
        return rule;
    }
    rule.key = MakerVersionKey(component);
    rule.fallbackKey = std::wstring(kMakerUserRoot) + L"\\" + component;
    rule.valueName = L"version";
    rule.makerComponent = true;
    return rule;
}

bool NeedsInstalledFileTest(const InventoryRule &rule, const std::wstring &family) {
    return rule.makerComponent && family != L"CMPC";
}

std::wstring VersionFromKeyName(const std::wstring &keyPath) {
    const size_t slash = keyPath.rfind(L'\\');
    size_t start = slash == std::wstring::npos ? 0 : slash + 1;
    if (start < keyPath.size() && (keyPath[start] == L'v' || keyPath[start] == L'V'))
        ++start;
    return keyPath.substr(start);
}
