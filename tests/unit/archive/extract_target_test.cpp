#include <gtest/gtest.h>

#include "setup/archive/extract_target.h"

TEST(ExtractTarget, OnlyContainedRelativeTargetsGetTheirFoldersMade) {
    for (const wchar_t *t : {L"a.txt", L"bin\\tool.exe", L"bin/tool.exe", L"a..b\\c", L"..a"})
        EXPECT_TRUE(IsContainedRelativeTarget(t)) << testing::PrintToString(std::wstring(t));
    for (const wchar_t *t : {L"", L"\\x", L"/x", L"C:\\x", L"C:x", L"..\\x", L"a/../x", L"a\\..\\..\\x",
                             L"\\\\server\\share\\x"})
        EXPECT_FALSE(IsContainedRelativeTarget(t)) << testing::PrintToString(std::wstring(t));
}

TEST(ExtractTarget, FolderChainStopsAtDrivesAndShares) {
    using Chain = std::vector<std::wstring>;
    EXPECT_EQ(FolderChain(L"a\\b\\c.txt", false), (Chain{L"a", L"a\\b"}));
    EXPECT_EQ(FolderChain(L"a\\b\\c", true), (Chain{L"a", L"a\\b", L"a\\b\\c"}));
    EXPECT_EQ(FolderChain(L"C:\\P\\V\\x.exe", false), (Chain{L"C:\\P", L"C:\\P\\V"}));
    EXPECT_EQ(FolderChain(L"C:\\P\\", true), (Chain{L"C:\\P"}));
    EXPECT_EQ(FolderChain(L"\\\\srv\\share\\d\\f", false), (Chain{L"\\\\srv\\share\\d"}));
    EXPECT_EQ(FolderChain(L"\\\\srv", true), Chain{});
    EXPECT_EQ(FolderChain(L"a//b/c", false), (Chain{L"a", L"a//b"}));
    EXPECT_EQ(FolderChain(L"file", false), Chain{});
}
