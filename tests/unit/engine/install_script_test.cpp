#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/progress_position.h"
#include "setup/engine/install_script.h"

namespace {

TEST(ProgressPosition, IntegerPartOfThePercentage) {
    EXPECT_EQ(ProgressPosition(0, 1000), 0);
    EXPECT_EQ(ProgressPosition(1, 3), 33);
    EXPECT_EQ(ProgressPosition(2, 3), 66);
    EXPECT_EQ(ProgressPosition(999, 1000), 99);
    EXPECT_EQ(ProgressPosition(1000, 1000), 100);
    EXPECT_EQ(ProgressPosition(16384, 5.0 * 16384), 20);
}

TEST(ProgressPosition, NeverLeavesTheRange) {
    // More bytes extracted than the script announced.
    EXPECT_EQ(ProgressPosition(5000, 1000), 100);
    // Nothing to do, or totals that are no number at all.
    EXPECT_EQ(ProgressPosition(0, 0), 0);
    EXPECT_EQ(ProgressPosition(10, 0), 0);
    EXPECT_EQ(ProgressPosition(10, -5), 0);
    EXPECT_EQ(ProgressPosition(-10, 100), 0);
    EXPECT_EQ(ProgressPosition(std::nan(""), 100), 0);
    EXPECT_EQ(ProgressPosition(10, std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(ProgressPosition(std::numeric_limits<double>::infinity(), 100), 100);
}

TEST(DwordData, LeadingDigitsAsTheRuntimeReadsThem) {
    EXPECT_EQ(ParseDwordData("12abc"), 12u);
    EXPECT_EQ(ParseDwordData("abc"), 0u);
    EXPECT_EQ(ParseDwordData(""), 0u);
    EXPECT_EQ(ParseDwordData("  \t42"), 42u);
    EXPECT_EQ(ParseDwordData("+7"), 7u);
    EXPECT_EQ(ParseDwordData("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseDwordData("-"), 0u);
    EXPECT_EQ(ParseDwordData("1 2"), 1u);
    EXPECT_EQ(ParseDwordData("0x10"), 0u);
}

TEST(DwordData, OutOfRangeAndLongTexts) {
    EXPECT_EQ(ParseDwordData("2147483647"), 2147483647u);
    EXPECT_EQ(ParseDwordData("2147483648"), 2147483647u);
    EXPECT_EQ(ParseDwordData("99999999999999999999"), 2147483647u);
    EXPECT_EQ(ParseDwordData("-2147483648"), 0x80000000u);
    EXPECT_EQ(ParseDwordData("-99999999999999"), 0x80000000u);
    // Only the first 20 bytes are read: the digits after them do not count.
    EXPECT_EQ(ParseDwordData(std::string(19, ' ') + "5"), 5u);
    EXPECT_EQ(ParseDwordData(std::string(20, ' ') + "5"), 0u);
}

TEST(FileTarget, FileAndFolderEntries) {
    FileTarget t;
    ASSERT_TRUE(ParseFileTarget(L"Target={InstallDir}/viewer.exe", false, t));
    EXPECT_EQ(t.folder, L"{InstallDir}");
    EXPECT_EQ(t.relative, L"viewer.exe");

    ASSERT_TRUE(ParseFileTarget(L"Target={InstallDir}/docs/en/read me.txt", false, t));
    EXPECT_EQ(t.relative, L"docs\\en\\read me.txt");

    ASSERT_TRUE(ParseFileTarget(L"Target={InstallDir}/docs", true, t));
    EXPECT_EQ(t.relative, L"docs/");
    ASSERT_TRUE(ParseFileTarget(L"target={WinDir}/Fonts/x", true, t));
    EXPECT_EQ(t.folder, L"{WinDir}");
    EXPECT_EQ(t.relative, L"Fonts\\x/");

    // A folder given with escapes keeps them for the record.
    ASSERT_TRUE(ParseFileTarget(L"Target={ProgramFiles}%5CShared/a.dll", false, t));
    EXPECT_EQ(t.folder, L"{ProgramFiles}%5CShared");
}

TEST(FileTarget, LinesThatInstallNothing) {
    FileTarget t{L"kept", L"kept"};
    EXPECT_FALSE(ParseFileTarget(L"Source={InstallDir}/a.txt", false, t));
    EXPECT_FALSE(ParseFileTarget(L"Target={InstallDir}", false, t));
    EXPECT_FALSE(ParseFileTarget(L"Target=/a.txt", false, t));
    EXPECT_FALSE(ParseFileTarget(L"=x/y", false, t));
    EXPECT_FALSE(ParseFileTarget(L"Target", false, t));
    EXPECT_EQ(t.folder, L"kept");
}

TEST(RegistryAndShortcutLines, FieldsInOrderMissingOnesEmpty) {
    RegistryLine r = ParseRegistryLine(
        L"Registry/HKEY_LOCAL_MACHINE%5CSOFTWARE%5CParvoni/Path/{InstallDir}%5Cbin/REG_SZ/");
    EXPECT_EQ(r.keyPath, L"HKEY_LOCAL_MACHINE%5CSOFTWARE%5CParvoni");
    EXPECT_EQ(r.valueName, L"Path");
    EXPECT_EQ(r.data, L"{InstallDir}%5Cbin");
    EXPECT_EQ(r.type, L"REG_SZ");

    r = ParseRegistryLine(L"Registry/HKEY_CURRENT_USER%5CX/Count");
    EXPECT_EQ(r.valueName, L"Count");
    EXPECT_TRUE(r.data.empty());
    EXPECT_TRUE(r.type.empty());

    r = ParseRegistryLine(L"Registry/HKEY_CURRENT_USER%5CX//1/REG_DWORD");
    EXPECT_TRUE(r.valueName.empty());

    ShortcutLine s = ParseShortcutLine(
        L"Shortcut/{StartMenu}%5CPrograms%5CViewer/Viewer/The viewer/{InstallDir}%5Cviewer.exe/-v/");
    EXPECT_EQ(s.folder, L"{StartMenu}%5CPrograms%5CViewer");
    EXPECT_EQ(s.name, L"Viewer");
    EXPECT_EQ(s.description, L"The viewer");
    EXPECT_EQ(s.target, L"{InstallDir}%5Cviewer.exe");
    EXPECT_EQ(s.arguments, L"-v");
    s = ParseShortcutLine(L"Shortcut/{DeskTop}/Viewer//C:%5Cv.exe");
    EXPECT_TRUE(s.description.empty());
    EXPECT_TRUE(s.arguments.empty());
}

TEST(ShortcutHelpers, WorkingFolder) {
    EXPECT_EQ(WorkingFolderOf(L"C:\\Program Files\\Viewer\\viewer.exe"), L"C:\\Program Files\\Viewer");
    EXPECT_EQ(WorkingFolderOf(L"viewer.exe"), L"");
}

}  // namespace
