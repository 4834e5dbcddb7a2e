#include <gtest/gtest.h>

#include "updater/catalogue/inventory_rules.h"

namespace {

const std::wstring kUninstall = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

TEST(InventoryRulesTest, OtherMakersRowsAreFoundWhateverTheLetterCase) {
    struct Row {
        const wchar_t *component;
        std::wstring key, fallback, value;
    } rows[] = {
        {L"chipset device", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Intel\\Infinst", L"", L"version"},
        {L"AUDIO DRIVER", kUninstall + L"{F132AF7F-7BCA-4EDE-8A7C-958108FE7DBC}",
         kUninstall + L"{E3A5A8AB-58F6-45FF-AFCB-C9AE18C05001}", L"DisplayVersion"},
        {L"Touch Screen", kUninstall + L"{237F5675-A88E-43DB-8E21-087BCC9230F9}",
         kUninstall + L"{E6677AB9-D020-44A9-A93A-8A66ACAB7960}", L"DisplayVersion"},
        {L"Touch Pad", kUninstall + L"SynTPDeinstKey", L"", L"DisplayVersion"},
        {L"bluesoleil", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\IVT Corporation\\BlueSoleil\\Install", L"",
         L"ProductVersion"},
        {L"USBC Client", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Intel\\USBCClient", L"", L"Version"},
        {L"Adobe Flash Player Plugin", kUninstall + L"Adobe Flash Player Plugin", L"", L"DisplayVersion"},
        {L"Cyberlink PowerDVD 8.0 SE", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Cyberlink\\PowerDVD8SE\\BuildInfo",
         L"", L"Ver"},
    };
    for (const Row &row : rows) {
        const InventoryRule rule = FindInventoryRule(row.component);
        EXPECT_EQ(row.key, rule.key) << row.component;
        EXPECT_EQ(row.fallback, rule.fallbackKey) << row.component;
        EXPECT_EQ(row.value, rule.valueName) << row.component;
        EXPECT_FALSE(rule.versionFromKeyName || rule.makerComponent) << row.component;
        EXPECT_FALSE(NeedsInstalledFileTest(rule, L"MID")) << row.component;
    }
}

TEST(InventoryRulesTest, DotNetTakesTheVersionFromItsKeyName) {
    const InventoryRule rule = FindInventoryRule(L".net framework");
    EXPECT_TRUE(rule.versionFromKeyName);
    EXPECT_EQ(L"3.0", VersionFromKeyName(rule.key));
    EXPECT_EQ(L"2", VersionFromKeyName(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\V2"));
    EXPECT_EQ(L"v1", VersionFromKeyName(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\vv1"));  // one "v" only
    EXPECT_EQ(L"x", VersionFromKeyName(L"HKEY_LOCAL_MACHINE\\x"));
    EXPECT_EQ(L"", VersionFromKeyName(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\v"));
}

TEST(InventoryRulesTest, AnyOtherNameIsAMakerComponentTestedByItsFileExceptOnCmpc) {
    const InventoryRule rule = FindInventoryRule(L"marboDMB");
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni\\marboDMB", rule.key);
    EXPECT_EQ(L"HKEY_CURRENT_USER\\SOFTWARE\\Parvoni\\marboDMB", rule.fallbackKey);
    EXPECT_EQ(L"version", rule.valueName);
    EXPECT_TRUE(rule.makerComponent);
    EXPECT_TRUE(NeedsInstalledFileTest(rule, L"MID"));
    EXPECT_FALSE(NeedsInstalledFileTest(rule, L"CMPC"));
    // An unidentified device is not a CMPC: its files are looked at.
    EXPECT_TRUE(NeedsInstalledFileTest(rule, L""));
    // A name that only resembles a row is a maker component.
    EXPECT_TRUE(FindInventoryRule(L"Audio Driver ").makerComponent);
}

}  // namespace
