// ReadInstalledVersion against the prefix's real registry and file system.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "common/folders.h"
#include "common/registry_key.h"
#include "common/system_folders.h"
#include "updater/catalogue/installed_version_win.h"

namespace {

const std::wstring kUninstall =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

void WriteString(const std::wstring &key, const std::wstring &name, const std::wstring &value) {
    CRegistryKey k;
    ASSERT_TRUE(k.Create(key)) << key;
    ASSERT_TRUE(k.SetValue(name, value, REG_SZ));
}

std::wstring ProgramFiles() {
    std::wstring folder;
    GetSpecialFolder(folder, nullptr, CSIDL_PROGRAM_FILES);
    return folder;
}

bool MakeFile(const std::wstring &path) {
    CreateFolderPath(path.substr(0, path.rfind(L'\\')));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

class InventoryTest : public testing::Test {
protected:
    void TearDown() override {
        for (const std::wstring &key : made)
            CRegistryKey::DeleteKey(key);
        for (const std::wstring &file : files)
            DeleteFileW(file.c_str());
    }
    void Write(const std::wstring &key, const std::wstring &name, const std::wstring &value) {
        made.push_back(key);
        WriteString(key, name, value);
    }
    std::vector<std::wstring> made, files;
};

// Every row of other makers' software, from its first key and, where it has one,
// from its fallback key alone.
TEST_F(InventoryTest, EveryOtherMakersRowReadsItsValueFromItsKey) {
    struct Row {
        const wchar_t *component;
        std::wstring key, value;
        bool fallback;
    } rows[] = {
        {L"Chipset Device", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Intel\\Infinst", L"version", false},
        {L"audio driver", kUninstall + L"{F132AF7F-7BCA-4EDE-8A7C-958108FE7DBC}", L"DisplayVersion", false},
        {L"Audio Driver", kUninstall + L"{E3A5A8AB-58F6-45FF-AFCB-C9AE18C05001}", L"DisplayVersion", true},
        {L"Graphic Driver", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Intel\\LPCO", L"version", false},
        {L"Touch Pad", kUninstall + L"SynTPDeinstKey", L"DisplayVersion", false},
        {L"Touch Screen", kUninstall + L"{237F5675-A88E-43DB-8E21-087BCC9230F9}", L"DisplayVersion", false},
        {L"Touch Screen", kUninstall + L"{E6677AB9-D020-44A9-A93A-8A66ACAB7960}", L"DisplayVersion", true},
        {L"Touchside", kUninstall + L"{69EA14A5-F95C-4587-94C4-E43075A4F5E2}", L"DisplayVersion", false},
        {L"HIDeGalaxTouch", kUninstall + L"{57E53503-0960-4AB0-A127-405FB1574A20}", L"DisplayVersion", false},
        {L"BlueSoleil", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\IVT Corporation\\BlueSoleil\\Install",
         L"ProductVersion", false},
        {L"USBC Client", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Intel\\USBCClient", L"Version", false},
        {L"USB Mass Storage Device", kUninstall + L"{959B7F35-2819-40C5-A0CD-3C53B5FCC935}",
         L"DisplayVersion", false},
        {L"Adobe AIR", kUninstall + L"Adobe AIR", L"DisplayVersion", false},
        {L"Adobe Flash Player ActiveX", kUninstall + L"Adobe Flash Player ActiveX", L"DisplayVersion", false},
        {L"Adobe Flash Player Plugin", kUninstall + L"Adobe Flash Player Plugin", L"DisplayVersion", false},
        {L"Cyberlink PowerDVD 8.0 SE", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Cyberlink\\PowerDVD8SE\\BuildInfo",
         L"Ver", false},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(L"-", ReadInstalledVersion(row.component, L"MID")) << row.component << " before";
        Write(row.key, row.value, L"4.5.6");
        // Other makers' software has no installed-file test, on any family.
        EXPECT_EQ(L"4.5.6", ReadInstalledVersion(row.component, L"MID")) << row.key;
        EXPECT_EQ(L"4.5.6", ReadInstalledVersion(row.component, L"CMPC")) << row.key;
        CRegistryKey::DeleteKey(row.key);
    }
}

TEST_F(InventoryTest, WhatCannotBeReadAsTextGivesNotInstalled) {
    const std::wstring infinst = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Intel\\Infinst";
    made.push_back(infinst);
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Create(infinst));
        ASSERT_TRUE(key.SetValue(L"version", 7));  // REG_DWORD
    }
    EXPECT_EQ(L"-", ReadInstalledVersion(L"Chipset Device", L"MID"));
    WriteString(infinst, L"version", L"");
    EXPECT_EQ(L"-", ReadInstalledVersion(L"Chipset Device", L"MID"));
    // 129 characters and the terminator fill the 260 bytes that are read; one more does not fit.
    const std::wstring longest(129, L'9');
    WriteString(infinst, L"version", longest);
    EXPECT_EQ(longest, ReadInstalledVersion(L"Chipset Device", L"MID"));
    WriteString(infinst, L"version", longest + L"9");
    EXPECT_EQ(L"-", ReadInstalledVersion(L"Chipset Device", L"MID"));
    // Wrong value name.
    CRegistryKey::DeleteKey(infinst);
    WriteString(infinst, L"Version ", L"1.0");
    EXPECT_EQ(L"-", ReadInstalledVersion(L"Chipset Device", L"MID"));
}

TEST_F(InventoryTest, DotNetIsTheKeyAloneAndBothAudioKeysAbsentIsNotInstalled) {
    const std::wstring dotNet = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\.NETFramework\\v3.0";
    CRegistryKey::DeleteKey(dotNet);
    EXPECT_EQ(L"-", ReadInstalledVersion(L".NET Framework", L"MID"));
    made.push_back(dotNet);
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Create(dotNet));
    }
    EXPECT_EQ(L"3.0", ReadInstalledVersion(L".net framework", L"MID"));
    WriteString(dotNet, L"Version", L"9.9");
    EXPECT_EQ(L"3.0", ReadInstalledVersion(L".NET Framework", L"CMPC"));

    EXPECT_EQ(L"-", ReadInstalledVersion(L"Audio Driver", L"MID"));
}

TEST_F(InventoryTest, MakerComponentsCountOnMidOnlyWithTheirFileAndFallBackToTheUser) {
    const std::wstring machine = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni\\marboDMB";
    const std::wstring user = L"HKEY_CURRENT_USER\\SOFTWARE\\Parvoni\\marboDMB";
    const std::wstring program = ProgramFiles() + L"\\marboDMB\\dmbplayer.exe";
    DeleteFileW(program.c_str());
    Write(machine, L"version", L"1.0.3");
    EXPECT_EQ(L"-", ReadInstalledVersion(L"marboDMB", L"MID"));
    EXPECT_EQ(L"1.0.3", ReadInstalledVersion(L"marboDMB", L"CMPC"));
    ASSERT_TRUE(MakeFile(program));
    files.push_back(program);
    EXPECT_EQ(L"1.0.3", ReadInstalledVersion(L"MARBODMB", L"MID"));

    // The machine key exists but holds no version: the user's key is not looked at.
    CRegistryKey::DeleteKey(machine);
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Create(machine));
    }
    Write(user, L"version", L"2.0");
    EXPECT_EQ(L"-", ReadInstalledVersion(L"marboDMB", L"CMPC"));
    // Without the machine key the user's is read.
    CRegistryKey::DeleteKey(machine);
    EXPECT_EQ(L"2.0", ReadInstalledVersion(L"marboDMB", L"MID"));
    EXPECT_EQ(L"2.0", ReadInstalledVersion(L"marboDMB", L"CMPC"));

    // The system driver's file lies in the Windows folder.
    const std::wstring driverKey = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni\\System Driver";
    std::wstring windows;
    GetSpecialFolder(windows, nullptr, CSIDL_WINDOWS);
    const std::wstring driver = windows + L"\\system32\\drivers\\hwinterface.sys";
    Write(driverKey, L"version", L"1.1");
    EXPECT_EQ(L"-", ReadInstalledVersion(L"System Driver", L"MID"));
    ASSERT_TRUE(MakeFile(driver));
    files.push_back(driver);
    EXPECT_EQ(L"1.1", ReadInstalledVersion(L"System Driver", L"MID"));
}

}  // namespace
