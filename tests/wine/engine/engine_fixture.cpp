#include "tests/wine/engine/engine_fixture.h"

#include <shlobj.h>

#include "common/folders.h"
#include "common/registry_key.h"
#include "common/shortcuts.h"
#include "setup/engine/uninstall_record.h"
#include "setup/script/setup_markers.h"
#include "setup/script/setup_startup.h"

namespace {

std::string MakeViewerBytes() {
    std::string bytes = "MZ viewer\r\n";
    for (int i = 0; bytes.size() < 100000; ++i) bytes += "line " + std::to_string(i * 7919 % 1000) + "\n";
    return bytes;
}

}  // namespace

const std::string EngineTest::kProgram = std::string("MZ\x90\0fake setup program\0\0", 24) +
                                         std::string(3000, '\x4D');
const std::string EngineTest::kViewerBytes = MakeViewerBytes();

std::wstring Widen(const std::string &text) { return std::wstring(text.begin(), text.end()); }

std::wstring CommonFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
    return path;
}

void EngineTest::SetUp() {
    static int counter = 0;
    tag_ = L"EngineTest" + std::to_wstring(GetCurrentProcessId()) + L"x" + std::to_wstring(++counter);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    root_ = std::wstring(temp) + tag_;
    ASSERT_TRUE(CreateFolderPath(root_));
}

void EngineTest::TearDown() {
    DeleteFolderTree(root_);
    CRegistryKey::DeleteKey(L"HKEY_CURRENT_USER\\Software\\" + tag_);
    CRegistryKey::DeleteKey(UninstallKey());
    DeleteShortcut(L"{DeskTop}", Title());
    DeleteShortcut(L"{StartMenu}\\Programs\\" + tag_, tag_ + L" Guide");
    DeleteFolderTree(CommonFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + tag_);
}

std::string EngineTest::Tag() const { return std::string(tag_.begin(), tag_.end()); }

std::wstring EngineTest::UninstallKey() const { return UninstallKeyPath(Title()); }
std::wstring EngineTest::VendorKey() const { return L"HKEY_CURRENT_USER\\Software\\" + tag_ + L"\\Vendor"; }
std::wstring EngineTest::ViewerKey() const { return VendorKey() + L"\\Viewer"; }
std::wstring EngineTest::SettingsKey() const {
    return L"HKEY_CURRENT_USER\\Software\\" + tag_ + L"\\Settings";
}

SetupSettings EngineTest::InstallSettings() const {
    SetupSettings settings;
    EXPECT_TRUE(ReadSetupSettingsFrom(Package(), settings));
    EXPECT_EQ(settings.Mode, SetupMode::Install);
    settings.InstallDir = TypedInstallDir();
    return settings;
}

void EngineTest::WritePackage(const TestPackage &package) {
    ASSERT_TRUE(package.Write(Package(), kProgram, kInstallerIdentifier));
}
