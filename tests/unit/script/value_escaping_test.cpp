#include <gtest/gtest.h>

#include "setup/script/folder_tokens.h"
#include "setup/script/value_escaping.h"

namespace {

TEST(ValueEscaping, EscapesSeparatorsAndCollapsesDoubledBackslashes) {
    EXPECT_EQ(EscapeValue(L"C:\\A\\\\B/c"), L"C%3A%5CA%5CB%2Fc");
    EXPECT_EQ(UnescapeValue(L"C%3A%5CA%5CB%2Fc"), L"C:\\A\\B/c");
    EXPECT_EQ(EscapeValue(L"{ProgramFiles}\\Viewer"), L"{ProgramFiles}%5CViewer");
    EXPECT_EQ(EscapeValue(L"%5C%5CX"), L"%5CX");
}

TEST(ValueEscaping, EscapedTextPassesThroughAndRoundTrips) {
    const wchar_t *raw[] = {L"C:\\Program Files\\Viewer\\viewer.exe", L"/silent /log:x",
                            L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni", L"plain", L"",
                            L"a%b", L"\\lead\\"};
    for (const wchar_t *r : raw) {
        std::wstring once = EscapeValue(r);
        EXPECT_EQ(EscapeValue(once), once) << r;
        EXPECT_EQ(once.find_first_of(L":/\\"), std::wstring::npos) << r;
        EXPECT_EQ(UnescapeValue(once), r) << r;
    }
}

TEST(ValueEscaping, RawSlashInAValueBecomesABackslash) {
    EXPECT_EQ(UnescapeValue(L"{ProgramFiles}/Viewer"), L"{ProgramFiles}\\Viewer");
    EXPECT_EQ(UnescapeValue(L"a//b"), L"a\\b");
}

TEST(FolderTokens, ExpandInOrderIgnoringCaseAndNeverTwice) {
    SetupFolders f{L"C:\\Program Files", L"C:\\windows", L"C:\\windows\\system32",
                   L"D:\\{WinDir}"};
    EXPECT_EQ(ExpandFolderTokens(L"{programfiles}\\A;{WINDIR};{WinSysDir}", f),
              L"C:\\Program Files\\A;C:\\windows;C:\\windows\\system32");
    // The inserted InstallDir is not expanded again.
    EXPECT_EQ(ExpandFolderTokens(L"{InstallDir}\\x", f), L"D:\\{WinDir}\\x");
    EXPECT_EQ(ExpandSystemFolderTokens(L"{InstallDir}\\x", f), L"{InstallDir}\\x");
    EXPECT_EQ(ExpandFolderTokens(L"{DeskTop}\\{StartMenu}", f), L"{DeskTop}\\{StartMenu}");
    SetupFolders loop{L"{ProgramFiles}{ProgramFiles}", L"", L"", L""};
    EXPECT_EQ(ExpandFolderTokens(L"{ProgramFiles}", loop), L"{ProgramFiles}{ProgramFiles}");
}

}  // namespace
