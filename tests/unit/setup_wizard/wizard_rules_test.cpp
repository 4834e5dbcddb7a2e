// The rules behind the destination page, the Complete command line, the
// statics' line splitting, the uninstaller's move and the wizard's texts.
#include <gtest/gtest.h>

#include <cwchar>

#include "common/localized_text.h"
#include "common/size_text.h"
#include "setup/wizard/after_program.h"
#include "setup/wizard/destination_rules.h"
#include "setup/wizard/text_lines.h"
#include "setup/wizard/uninstaller_move.h"
#include "setup/wizard/wizard_texts.h"

namespace {

TEST(DestinationFromPick, AppendsTheFolderNameUnlessThePickHoldsIt) {
    EXPECT_EQ(DestinationFromPick(L"D:\\Tools", L"Viewer"), L"D:\\Tools\\Viewer");
    EXPECT_EQ(DestinationFromPick(L"D:\\Tools\\Viewer", L"Viewer"), L"D:\\Tools\\Viewer");
    EXPECT_EQ(DestinationFromPick(L"d:\\tools\\VIEWER\\x", L"Viewer"), L"d:\\tools\\VIEWER\\x");
    // A drive root already ends in "\": no doubled separator.
    EXPECT_EQ(DestinationFromPick(L"D:\\", L"Viewer"), L"D:\\Viewer");
    // The name at the very first character does not count.
    EXPECT_EQ(DestinationFromPick(L"Viewer", L"Viewer"), L"Viewer\\Viewer");
}

TEST(DestinationFromPick, KeepsNetworkPathsAndEmptyNames) {
    EXPECT_EQ(DestinationFromPick(L"\\\\server\\share", L"Viewer"), L"\\\\server\\share\\Viewer");
    EXPECT_EQ(DestinationFromPick(L"D:\\Tools", L""), L"D:\\Tools");
}

TEST(DestinationPage, VolumeAndSizeTexts) {
    EXPECT_EQ(VolumeOf(L"C:\\Program Files\\Viewer"), L"C:");
    EXPECT_EQ(VolumeOf(L"C"), L"C");
    EXPECT_EQ(VolumeOf(L""), L"");
    EXPECT_EQ(FormatSize(1023), L"1023B");
    EXPECT_EQ(FormatSize(1536), L"1.5KB");
    EXPECT_EQ(FormatSize(3.0 * 1048576), L"3.0MB");
}

SetupSettings Settings(const std::wstring &path, const std::wstring &param) {
    SetupSettings s;
    s.ProgramFilesDir = L"C:\\Program Files";
    s.WindowsDir = L"C:\\windows";
    s.SystemDir = L"C:\\windows\\system32";
    s.InstallDir = L"C:\\Program Files\\marbo Viewer";
    s.AfterPath = path;
    s.AfterParam = param;
    return s;
}

TEST(AfterCommandLine, ExpandsUnescapesAndQuotesThePath) {
    EXPECT_EQ(AfterCommandLine(Settings(L"{WinDir}%5Cnotepad.exe",
                                        L"\"{InstallDir}%5Creadme.txt\"")),
              L"\"C:\\windows\\notepad.exe\" \"C:\\Program Files\\marbo Viewer\\readme.txt\"");
    // Quotes around the path are replaced by the program's own; a raw "/" becomes "\".
    EXPECT_EQ(AfterCommandLine(Settings(L"\"{InstallDir}/viewer.exe\"", L"")),
              L"\"C:\\Program Files\\marbo Viewer\\viewer.exe\"");
    EXPECT_EQ(AfterCommandLine(Settings(L"C%3A%5Ca.exe", L"-x %2Fy")), L"\"C:\\a.exe\" -x /y");
}

TEST(AfterCommandLine, NothingWithoutAPath) {
    EXPECT_EQ(AfterCommandLine(Settings(L"", L"-x")), L"");
}

TEST(WantsRestart, OnlyTrueInAnyCase) {
    SetupSettings s;
    s.AfterReboot = L"true";
    EXPECT_TRUE(WantsRestart(s));
    s.AfterReboot = L"TRUE ";
    EXPECT_FALSE(WantsRestart(s));
    s.AfterReboot = L"FALSE";
    EXPECT_FALSE(WantsRestart(s));
}

TEST(SplitTextLines, BreaksAtEveryLineEnd) {
    using Lines = std::vector<std::wstring>;
    EXPECT_EQ(SplitTextLines(L" Installing\r\n Please wait."), (Lines{L" Installing", L" Please wait."}));
    EXPECT_EQ(SplitTextLines(L" \r\n\r\n a\r\n"), (Lines{L" ", L"", L" a"}));
    EXPECT_EQ(SplitTextLines(L"a\nb\rc"), (Lines{L"a", L"b", L"c"}));
    EXPECT_TRUE(SplitTextLines(L"").empty());
}

TEST(UninstallerMove, OnlyFromTheInstallationFolderItself) {
    EXPECT_TRUE(MustMoveOut(L"C:\\Program Files\\Viewer", L"c:\\program files\\VIEWER"));
    // A trailing "\" in the record makes the uninstaller run in place.
    EXPECT_FALSE(MustMoveOut(L"C:\\Program Files\\Viewer\\", L"C:\\Program Files\\Viewer"));
    EXPECT_FALSE(MustMoveOut(L"", L""));
    const std::wstring folder = CopyFolderPath(L"C:\\windows", 0x0123456789ABCDEFull);
    EXPECT_EQ(folder, L"C:\\windows\\Temp\\marboSetup-0123456789abcdef");
    EXPECT_EQ(CopyFolderPath(L"C:\\windows", 0xF), L"C:\\windows\\Temp\\marboSetup-000000000000000f");
    EXPECT_EQ(CopyPathIn(folder, L"C:\\Program Files\\Viewer\\Uninstall.exe"), folder + L"\\Uninstall.exe");
}

TEST(WizardTexts, KoreanOnlyForLanguage0412) {
    EXPECT_STREQ(PickText(wizard_text::kNext, 0x0412), L"다음");
    EXPECT_STREQ(PickText(wizard_text::kNext, 0x0409), L"Next");
    EXPECT_STREQ(PickText(wizard_text::kCancel, 0x0812), L"Cancel");
    // The welcome texts start with the blank that follows the caption and end a line.
    for (const LocalizedText *t : {&wizard_text::kInstallWelcome, &wizard_text::kUninstallWelcome})
        for (const wchar_t *text : {t->korean, t->english}) {
            ASSERT_GT(std::wcslen(text), 4u);
            EXPECT_EQ(std::wstring(text).substr(0, 5), L" \r\n\r\n");
            EXPECT_EQ(std::wstring(text).substr(std::wcslen(text) - 2), L"\r\n");
        }
}

}  // namespace
