#include "common/paths.h"

#include <gtest/gtest.h>

TEST(NormalisePaths, CollapseDoubledSeparators) {
    EXPECT_EQ(L"/[MID]/marbo K4/", NormaliseServerPath(L"//[MID]//marbo K4\\"));
    EXPECT_EQ(L"C:\\a\\b\\c\\", NormaliseLocalPath(L"C:\\a\\\\b/c\\\\"));
    EXPECT_EQ(L"\\\\server\\share\\x", NormaliseLocalPath(L"\\\\server\\\\share\\x"));
    EXPECT_EQ(L"", NormaliseLocalPath(L""));
}

TEST(JoinPaths, PutsExactlyOneSeparatorBetween) {
    EXPECT_EQ(L"C:\\Program Files\\Viewer", JoinLocalPath(L"C:\\Program Files\\", L"\\Viewer"));
    EXPECT_EQ(L"/Korea/PC", JoinServerPath(L"/Korea", L"PC"));
    EXPECT_EQ(L"PC", JoinServerPath(L"", L"PC"));
}

TEST(SplitLocalPath, AtTheLastBackslash) {
    EXPECT_EQ(L"C:\\Apps", LocalFolderOf(L"C:\\Apps\\a.txt"));
    EXPECT_EQ(L"a.txt", LocalNameOf(L"C:\\Apps\\a.txt"));
    EXPECT_EQ(L"noseparator", LocalFolderOf(L"noseparator"));
    EXPECT_EQ(L"", LocalNameOf(L"noseparator"));
}
