#include <gtest/gtest.h>

#include "updater/shell/startup_rules.h"

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
