#include "common/folder_levels.h"

#include <gtest/gtest.h>

using Levels = std::vector<std::wstring>;

TEST(FolderPathLevels, DriveRootThenEachFolder) {
    EXPECT_EQ((Levels{L"C:\\", L"C:\\a", L"C:\\a\\b", L"C:\\a\\b\\c"}),
              FolderPathLevels(L"C:\\a\\\\b\\c\\"));
    EXPECT_EQ((Levels{L"C:\\", L"C:\\a"}), FolderPathLevels(L"C:\\\\\\a"));
    EXPECT_EQ((Levels{L"C:\\"}), FolderPathLevels(L"C:\\"));
    EXPECT_EQ(Levels{}, FolderPathLevels(L""));
}

TEST(FolderPathLevels, RelativeRootedAndNetworkPaths) {
    EXPECT_EQ((Levels{L"a", L"a\\b"}), FolderPathLevels(L"a\\b\\"));
    EXPECT_EQ((Levels{L"\\", L"\\a"}), FolderPathLevels(L"\\a"));
    EXPECT_EQ((Levels{L"\\\\srv\\share", L"\\\\srv\\share\\x", L"\\\\srv\\share\\x\\y"}),
              FolderPathLevels(L"\\\\srv\\share\\x\\\\y"));
    // Drive-relative stays drive-relative.
    EXPECT_EQ((Levels{L"D:", L"D:x"}), FolderPathLevels(L"D:x"));
}

TEST(ProtectedFolderPath, RootsInAnySpellingAreProtected) {
    for (const wchar_t *path : {L"", L"\\", L"C:", L"C:\\", L"c:\\\\", L"C:\\\\\\\\", L"C:/",
                                L"\\\\srv", L"\\\\srv\\share", L"\\\\srv\\share\\\\"})
        EXPECT_TRUE(IsProtectedFolderPath(path)) << path;
    for (const wchar_t *path : {L"C:\\a", L"C:\\a\\", L"\\\\srv\\share\\x", L"a", L"\\Temp"})
        EXPECT_FALSE(IsProtectedFolderPath(path)) << path;
}

TEST(RelativeComponents, DotsAnywhereAreFound) {
    EXPECT_TRUE(HasRelativeComponent(L"C:\\.."));
    EXPECT_TRUE(HasRelativeComponent(L"C:\\Apps\\..\\"));
    EXPECT_TRUE(HasRelativeComponent(L"C:\\Apps\\.\\x"));
    EXPECT_TRUE(HasRelativeComponent(L".."));
    EXPECT_FALSE(HasRelativeComponent(L"C:\\Apps\\..x\\.y"));
    EXPECT_FALSE(HasRelativeComponent(L"C:\\Program Files\\Tessel\\Temp\\"));
}
