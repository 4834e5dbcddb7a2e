#include "common/shortcut_path.h"

#include <gtest/gtest.h>

TEST(ShortcutFolder, TokensMatchAtTheStartInAnyCase) {
    ShortcutFolderText f;
    ASSERT_TRUE(ParseShortcutFolder(L"{StartMenu}\\Programs\\Tools", f));
    EXPECT_EQ(kStartMenuFolder, f.type);
    EXPECT_EQ(L"Programs\\Tools", f.subFolder);

    ASSERT_TRUE(ParseShortcutFolder(L"{desktop}", f));
    EXPECT_EQ(kDeskTopFolder, f.type);
    EXPECT_EQ(L"", f.subFolder);

    ASSERT_TRUE(ParseShortcutFolder(L"{STARTUP}\\\\\\", f));
    EXPECT_EQ(kStartupFolder, f.type);
    EXPECT_EQ(L"", f.subFolder);

    ASSERT_TRUE(ParseShortcutFolder(L"{QuickLaunch}\\\\Sub\\", f));
    EXPECT_EQ(kQuickLaunchFolder, f.type);
    EXPECT_EQ(L"Sub", f.subFolder);

    ASSERT_TRUE(ParseShortcutFolder(L"{StartMenu}Programs\\\\Tools/Extra", f));
    EXPECT_EQ(L"Programs\\Tools\\Extra", f.subFolder);
}

TEST(ShortcutFolder, UnknownOrMisplacedTokensAreRejected) {
    ShortcutFolderText f;
    EXPECT_FALSE(ParseShortcutFolder(L"{Programs}\\x", f));
    EXPECT_FALSE(ParseShortcutFolder(L"x{DeskTop}", f));
    EXPECT_FALSE(ParseShortcutFolder(L"{DeskTo", f));
    EXPECT_FALSE(ParseShortcutFolder(L"", f));
    EXPECT_EQ(kNoShortcutFolder, f.type);
}

TEST(ShortcutPath, ComposedBelowTheBaseFolder) {
    EXPECT_EQ(L"C:\\Users\\Public\\Desktop\\Player.lnk",
              ComposeShortcutPath(L"C:\\Users\\Public\\Desktop", kDeskTopFolder, L"", L"Player"));
    EXPECT_EQ(L"C:\\Start\\Programs\\Tools\\Viewer.lnk",
              ComposeShortcutPath(L"C:\\Start\\", kStartMenuFolder, L"Programs\\Tools", L"Viewer"));
    EXPECT_EQ(L"C:\\Q\\Quick Launch\\Player.lnk",
              ComposeShortcutPath(L"C:\\Q\\Quick Launch\\", kQuickLaunchFolder, L"", L"Player"));
    EXPECT_EQ(L"C:\\Q\\Quick Launch\\Sub\\Player.lnk",
              ComposeShortcutPath(L"C:\\Q\\Quick Launch\\", kQuickLaunchFolder, L"Sub", L"Player"));
    EXPECT_EQ(L"Player", ShortcutNameOf(L"\\\\Player"));
}

// Folder texts as uninstall records hold them, through the parser, to the
// sub-folders an uninstall may remove.
TEST(ShortcutPath, SubFolderChainIsDeepestFirstAndNeverLeadsOut) {
    const struct {
        const wchar_t *folder;
        std::vector<std::wstring> chain;
    } cases[] = {
        {L"{DeskTop}", {}},
        {L"{StartMenu}\\\\", {}},
        {L"{StartMenu}\\marbo Viewer", {L"marbo Viewer"}},
        {L"{StartMenu}\\Programs\\\\Tools/Extra\\",
         {L"Programs\\Tools\\Extra", L"Programs\\Tools", L"Programs"}},
        {L"{QuickLaunch}Sub", {L"Sub"}},
        {L"{StartMenu}\\..\\..\\Windows", {}},
        {L"{StartMenu}\\Tools\\..", {}},
        {L"{StartMenu}\\Tools\\.", {}},
        {L"{StartMenu}\\Tools\\. .", {}},
        {L"{StartMenu}\\...", {}},
        {L"{DeskTop}\\C:\\Windows", {}},
        {L"{DeskTop}\\v1.0\\.hidden", {L"v1.0\\.hidden", L"v1.0"}},
    };
    for (const auto &c : cases) {
        ShortcutFolderText parsed;
        ASSERT_TRUE(ParseShortcutFolder(c.folder, parsed));
        EXPECT_EQ(c.chain, ShortcutSubFolderChain(parsed.subFolder))
            << testing::PrintToString(std::wstring(c.folder));
    }
}

// Script lines as a package may carry them: only what stays inside the token's
// special folder may be made at install or removed at uninstall.
TEST(ShortcutPath, OnlyPathsInsideTheSpecialFolderAreAllowed) {
    const struct {
        const wchar_t *folder;
        const wchar_t *name;
        bool allowed;
    } cases[] = {
        {L"{DeskTop}", L"Viewer", true},
        {L"{startmenu}\\Programs\\marbo Viewer", L"Viewer 2.0", true},
        {L"{StartMenu}Programs/Tools", L"Tools\\Guide", true},
        {L"{QuickLaunch}\\", L".hidden", true},
        {L"{StartMenu}\\Programs\\\\Tools\\", L"v1.0", true},
        {L"{StartMenu}\\..\\..\\Windows", L"Viewer", false},
        {L"{StartMenu}\\Programs\\..", L"Viewer", false},
        {L"{StartMenu}..", L"Viewer", false},
        {L"{StartMenu}\\...", L"Viewer", false},
        {L"{StartMenu}\\. .", L"Viewer", false},
        {L"{DeskTop}", L"..\\..\\Viewer", false},
        {L"{DeskTop}", L"Sub/../../Viewer", false},
        {L"{DeskTop}", L"..", false},
        {L"{DeskTop}", L".", false},
        {L"{DeskTop}\\C:\\Windows", L"Viewer", false},
        {L"{DeskTop}", L"C:\\Viewer", false},
        {L"{DeskTop}", L"Viewer:stream", false},
        {L"{DeskTop}\\\\server\\share", L"Viewer", false},
        {L"{DeskTop}/\\Windows", L"Viewer", false},
        {L"{DeskTop}", L"\\Windows\\Viewer", false},
        {L"{DeskTop}", L"/Viewer", false},
        {L"{DeskTop}", L"", false},
        {L"{InstallDir}", L"Viewer", false},
        {L"C:\\Users\\Public\\Desktop", L"Viewer", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.allowed, IsShortcutPathAllowed(c.folder, c.name))
            << testing::PrintToString(std::wstring(c.folder)) << " "
            << testing::PrintToString(std::wstring(c.name));
}
