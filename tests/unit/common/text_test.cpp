#include "common/text.h"

#include <gtest/gtest.h>

TEST(CompareNoCase, FoldsAsciiCaseAndOrdersByPosition) {
    EXPECT_EQ(0, CompareNoCase(L"marboDMB", L"MARBODMB"));
    EXPECT_EQ(-1, CompareNoCase(L"abc", L"ABD"));
    EXPECT_EQ(1, CompareNoCase(L"b", L"A"));
    // Different lengths never compare equal, whatever the common prefix.
    EXPECT_NE(0, CompareNoCase(L"abc", L"ABCD"));
    EXPECT_EQ(-1, CompareNoCase(L"abc", L"ABCD"));
    EXPECT_EQ(1, CompareNoCase(L"abcd", L"ABC"));
    EXPECT_EQ(0, CompareNoCase(L"", L""));
    // Only ASCII letters are folded.
    EXPECT_NE(0, CompareNoCase(L"\u00e9", L"\u00c9"));
}

TEST(PrefixAndSearch, IgnoreCase) {
    EXPECT_TRUE(StartsWithNoCase(L"EX Suffix", L"ex "));
    EXPECT_FALSE(StartsWithNoCase(L"EX", L"ex "));
    EXPECT_TRUE(StartsWithNoCase(L"anything", L""));
    EXPECT_TRUE(EndsWithNoCase(L"Setup.MSI", L".msi"));
    EXPECT_FALSE(EndsWithNoCase(L"msi", L".msi"));
    EXPECT_EQ(3u, FindNoCase(L"D:\\Tools\\Viewer", L"tools"));
    EXPECT_EQ(std::wstring::npos, FindNoCase(L"abc", L"abcd"));
}

TEST(FindLastChar, LimitsTheSearchToTheFirstNCharacters) {
    EXPECT_EQ(6, FindLastChar(L"C:\\a\\b\\c", L'\\', 7));
    EXPECT_EQ(6, FindLastChar(L"C:\\a\\b\\c", L'\\'));
    EXPECT_EQ(4, FindLastChar(L"C:\\a\\b\\c", L'\\', 6));
    EXPECT_EQ(-1, FindLastChar(L"abc", L'\\'));
    EXPECT_EQ(-1, FindLastChar(L"\\abc", L'\\', 0));
    EXPECT_EQ(0, FindLastChar(L"\\abc", L'\\', 100));
}

TEST(Replace, ScansOnceOrUntilGone) {
    // Inserted text is not scanned again.
    EXPECT_EQ(L"%5C%5C", ReplaceAll(L"\\\\", L"\\", L"%5C"));
    EXPECT_EQ(L"a\\\\b", ReplaceAll(L"a\\\\\\\\b", L"\\\\", L"\\"));
    EXPECT_EQ(L"a\\b", ReplaceUntilGone(L"a\\\\\\\\b", L"\\\\", L"\\"));
    EXPECT_EQ(L"abc", ReplaceAll(L"abc", L"", L"x"));
    EXPECT_EQ(L"C:\\PF\\v C:\\PF",
              ReplaceAllNoCase(L"{programfiles}\\v {PROGRAMFILES}", L"{ProgramFiles}", L"C:\\PF"));
    // A replacement that contains its pattern is applied once, not forever.
    EXPECT_EQ(L"aab", ReplaceUntilGone(L"ab", L"a", L"aa"));
}

TEST(Trim, RemovesBlanksAtTheEnds) {
    EXPECT_EQ(L"/WindowsStart", Trim(L"  /WindowsStart \t\r\n"));
    EXPECT_EQ(L"", Trim(L" \t "));
    EXPECT_EQ(L"  9HK40001", TrimRight(L"  9HK40001   "));
    EXPECT_EQ(L"name", StripTrailing(L"name///", L'/'));
}

TEST(Utf8, RoundTripsHangulAndRejectsBrokenBytes) {
    std::wstring hangul = L"\uad74\ub9bc";  // 굴림
    EXPECT_EQ(hangul, WidenUtf8(NarrowUtf8(hangul)));
    EXPECT_EQ("\xea\xb5\xb4\xeb\xa6\xbc", NarrowUtf8(hangul));
    EXPECT_EQ(L"a\uFFFD", WidenUtf8("a\xea\xb5"));
    EXPECT_EQ(L"\uFFFDb", WidenUtf8("\xff"
                                    "b"));
}
