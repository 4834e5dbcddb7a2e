#include <gtest/gtest.h>

#include "updater/shell/startup_rules.h"
#include "updater/shell/self_update_paths.h"

namespace {

TEST(WindowsStartArgument, MatchesInAnyCaseWithWhiteSpaceAround) {
    EXPECT_TRUE(IsWindowsStartArgument(L"/WindowsStart"));
    EXPECT_TRUE(IsWindowsStartArgument(L"/windowsstart"));
    EXPECT_TRUE(IsWindowsStartArgument(L"  /WINDOWSSTART \t"));
}

TEST(WindowsStartArgument, AnythingElseShowsTheWindow) {
    EXPECT_FALSE(IsWindowsStartArgument(L""));
    EXPECT_FALSE(IsWindowsStartArgument(L"WindowsStart"));
    EXPECT_FALSE(IsWindowsStartArgument(L"/WindowsStart now"));
    EXPECT_FALSE(IsWindowsStartArgument(L"/Windows Start"));
    EXPECT_FALSE(IsWindowsStartArgument(L"\"/WindowsStart\""));
}

TEST(ProductKey, FamilyFollowsTheProductNameDirectly) {
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni\\TesselMID", ProductKeyPath(L"MID"));
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni\\TesselCMPC", ProductKeyPath(L"CMPC"));
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni\\Tessel", ProductKeyPath(L""));
}

TEST(TempFolder, IsBelowTheProgramFolder) {
    EXPECT_EQ(L"C:\\Program Files\\Tessel\\Temp\\", TempFolderOf(L"C:\\Program Files\\Tessel"));
}

}  // namespace

TEST(SelfUpdatePaths, FolderFileAndRemoteTextCarryTheFamilyAndVersion) {
    const SelfUpdatePaths mid =
        BuildSelfUpdatePaths(L"Korea", L"MID", L"1.2.F", L"127.0.0.1", L"C:\\Program Files\\Parvoni\\Tessel");
    EXPECT_EQ(SelfUpdateSetupFolder(L"Korea", L"MID"), L"/Korea/PC/TesselMIDSetup/");
    EXPECT_EQ(mid.serverVersionFolder, L"/Korea/PC/TesselMIDSetup/1.2.F/");
    EXPECT_EQ(mid.remoteText, L"127.0.0.1/Korea/PC/TesselMIDSetup/1.2.F/");
    EXPECT_EQ(mid.setupFileName, L"TesselMIDSetup 1.2.F.exe");
    EXPECT_EQ(mid.localFile,
              L"C:\\Program Files\\Parvoni\\Tessel\\Temp\\TesselMIDSetup\\1.2.F\\TesselMIDSetup 1.2.F.exe");
    const SelfUpdatePaths cmpc = BuildSelfUpdatePaths(L"Korea", L"CMPC", L"2.0", L"10.0.0.1", L"D:\\T");
    EXPECT_EQ(cmpc.remoteText, L"10.0.0.1/Korea/PC/TesselCMPCSetup/2.0/");
    EXPECT_EQ(cmpc.localFile, L"D:\\T\\Temp\\TesselCMPCSetup\\2.0\\TesselCMPCSetup 2.0.exe");
}

TEST(SelfUpdateVersions, OnlyNamesThatStartWithANumberAreVersions) {
    using Folders = std::vector<std::wstring>;
    struct Case {
        Folders folders;
        const wchar_t *newest;
    } cases[] = {
        {{L"1.2.D", L"1.2.E", L"old"}, L"1.2.E"},
        {{L"test", L"1.2.F", L"Old", L"1.2.E"}, L"1.2.F"},
        {{L"1.9", L"1.10", L"v2.0"}, L"1.10"},
        {{L"10", L"9.9.9"}, L"10"},
        {{L"old", L"test", L".1", L"01.2"}, L""},
        {{}, L""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.newest, NewestSelfUpdateVersion(c.folders)) << c.folders.size();
}
