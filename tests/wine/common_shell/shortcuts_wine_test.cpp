#include "common/shortcuts.h"

#include <objbase.h>
#include <shlobj.h>

#include <string>

#include <gtest/gtest.h>

#include "common/folders.h"
#include "common/system_folders.h"
#include "tests/harness/shell_link_reader_win.h"

namespace {


bool Exists(const std::wstring &path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const std::wstring &path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << path;
    CloseHandle(h);
}

std::wstring SpecialFolderPath(int csidl) {
    std::wstring path;
    EXPECT_TRUE(GetSpecialFolder(path, nullptr, csidl)) << csidl;
    return path;
}

const WORD kHotKey = MAKEWORD('P', HOTKEYF_CONTROL | HOTKEYF_ALT);

class ShortcutTest : public testing::Test {
  protected:
    void SetUp() override {
        commonDesktop_ = SpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY);
        userDesktop_ = SpecialFolderPath(CSIDL_DESKTOP);
        ASSERT_NE(commonDesktop_, userDesktop_);
        CreateFolderPath(commonDesktop_);
        CreateFolderPath(userDesktop_);
    }
    void TearDown() override {
        DeleteFileW((commonDesktop_ + L"\\TesselTestPlayer.lnk").c_str());
        DeleteFileW((userDesktop_ + L"\\TesselTestPlayer.lnk").c_str());
    }

    std::wstring commonDesktop_, userDesktop_;
};

}  // namespace

TEST_F(ShortcutTest, DesktopShortcutGoesToAllUsersAndReplacesTheUsersOwn) {
    Touch(userDesktop_ + L"\\TesselTestPlayer.lnk");
    EXPECT_TRUE(CreateShortcut(L"{DeskTop}", L"TesselTestPlayer", L"Plays media",
                               L"C:\\Program Files\\Player\\Player.exe", L"/fullscreen",
                               L"C:\\Program Files\\Player", kHotKey, true));
    EXPECT_FALSE(Exists(userDesktop_ + L"\\TesselTestPlayer.lnk"));

    ShellLinkFields link;
    ASSERT_TRUE(ReadShellLink(commonDesktop_ + L"\\TesselTestPlayer.lnk", link));
    EXPECT_EQ(0, lstrcmpiW(L"C:\\Program Files\\Player\\Player.exe", link.target.c_str()))
        << link.target;
    EXPECT_EQ(L"Plays media", link.description);
    EXPECT_EQ(L"/fullscreen", link.arguments);
    EXPECT_EQ(L"C:\\Program Files\\Player", link.workingFolder);
    EXPECT_EQ(kHotKey, link.hotKey);
}

TEST_F(ShortcutTest, OverwriteFalseKeepsAnExistingShortcut) {
    // A name with a leading separator would name a path from the root.
    EXPECT_FALSE(CreateShortcut(L"{desktop}", L"\\TesselTestPlayer", L"first", L"C:\\first.exe",
                                L"", L"C:\\", 0, true));
    EXPECT_FALSE(Exists(commonDesktop_ + L"\\TesselTestPlayer.lnk"));
    ASSERT_TRUE(CreateShortcut(L"{desktop}", L"TesselTestPlayer", L"first", L"C:\\first.exe", L"",
                               L"C:\\", 0, true));
    Touch(userDesktop_ + L"\\TesselTestPlayer.lnk");
    CreateShortcut(L"{DeskTop}", L"TesselTestPlayer", L"second", L"C:\\second.exe", L"", L"C:\\", 0,
                   false);
    ShellLinkFields link;
    ASSERT_TRUE(ReadShellLink(commonDesktop_ + L"\\TesselTestPlayer.lnk", link));
    EXPECT_EQ(L"first", link.description);
    EXPECT_TRUE(Exists(userDesktop_ + L"\\TesselTestPlayer.lnk"));

    CreateShortcut(L"{DeskTop}", L"TesselTestPlayer", L"second", L"C:\\second.exe", L"", L"C:\\", 0,
                   true);
    ASSERT_TRUE(ReadShellLink(commonDesktop_ + L"\\TesselTestPlayer.lnk", link));
    EXPECT_EQ(L"second", link.description);
}

TEST(Shortcuts, StartMenuSubFolderIsCreated) {
    std::wstring tools = SpecialFolderPath(CSIDL_COMMON_STARTMENU) + L"\\Programs\\TesselTools";
    DeleteFolderTree(tools);
    EXPECT_TRUE(CreateShortcut(L"{StartMenu}\\Programs\\TesselTools\\", L"Viewer", L"View",
                               L"C:\\viewer.exe", L"", L"C:\\", 0, true));
    ShellLinkFields link;
    ASSERT_TRUE(ReadShellLink(tools + L"\\Viewer.lnk", link));
    EXPECT_EQ(L"View", link.description);

    EXPECT_TRUE(DeleteShortcut(L"{StartMenu}\\Programs\\TesselTools", L"Viewer") ||
                !Exists(tools + L"\\Viewer.lnk"));
    EXPECT_FALSE(Exists(tools + L"\\Viewer.lnk"));
    DeleteFolderTree(tools);
}

TEST(Shortcuts, UnknownTokenDoesNothing) {
    std::wstring programs = SpecialFolderPath(CSIDL_COMMON_PROGRAMS);
    EXPECT_FALSE(CreateShortcut(L"{Programs}", L"TesselTestGhost", L"", L"C:\\ghost.exe", L"", L"",
                                0, true));
    EXPECT_FALSE(CreateShortcut(L"Programs\\{DeskTop}", L"TesselTestGhost", L"", L"C:\\ghost.exe",
                                L"", L"", 0, true));
    EXPECT_FALSE(Exists(programs + L"\\TesselTestGhost.lnk"));
    EXPECT_FALSE(DeleteShortcut(L"{Programs}", L"TesselTestGhost"));
}

TEST(Shortcuts, BuildShortcutPathForEveryTokenAndBothVariants) {
    std::wstring path;
    ASSERT_TRUE(BuildShortcutPath(2, L"", L"Tessel", false, path));
    EXPECT_EQ(SpecialFolderPath(CSIDL_STARTUP) + L"\\Tessel.lnk", path);
    ASSERT_TRUE(BuildShortcutPath(2, L"", L"Tessel", true, path));
    EXPECT_EQ(SpecialFolderPath(CSIDL_COMMON_STARTUP) + L"\\Tessel.lnk", path);
    ASSERT_TRUE(BuildShortcutPath(1, L"Programs", L"Tessel", true, path));
    EXPECT_EQ(SpecialFolderPath(CSIDL_COMMON_STARTMENU) + L"\\Programs\\Tessel.lnk", path);
    ASSERT_TRUE(BuildShortcutPath(4, L"", L"Tessel", false, path));
    EXPECT_EQ(SpecialFolderPath(CSIDL_APPDATA) +
                  L"\\Microsoft\\Internet Explorer\\Quick Launch\\Tessel.lnk",
              path);
    ASSERT_TRUE(BuildShortcutPath(4, L"Sub", L"Tessel", true, path));
    EXPECT_EQ(SpecialFolderPath(CSIDL_COMMON_APPDATA) +
                  L"\\Microsoft\\Internet Explorer\\Quick Launch\\Sub\\Tessel.lnk",
              path);
    EXPECT_FALSE(BuildShortcutPath(0, L"", L"Tessel", true, path));
    EXPECT_FALSE(BuildShortcutPath(5, L"", L"Tessel", true, path));
    EXPECT_TRUE(path.empty());
}

TEST(Shortcuts, QuickLaunchShortcutAndDeletionFromBothFolders) {
    std::wstring common, user;
    ASSERT_TRUE(BuildShortcutPath(4, L"", L"TesselTestLauncher", true, common));
    ASSERT_TRUE(BuildShortcutPath(4, L"", L"TesselTestLauncher", false, user));
    EXPECT_TRUE(CreateShortcut(L"{QuickLaunch}", L"TesselTestLauncher", L"Launch",
                               L"C:\\launch.exe", L"-q", L"C:\\", 0, true));
    ShellLinkFields link;
    ASSERT_TRUE(ReadShellLink(common, link));
    EXPECT_EQ(L"-q", link.arguments);

    CreateFolderPath(user.substr(0, user.rfind(L'\\')));
    Touch(user);
    EXPECT_TRUE(DeleteShortcut(L"{QuickLaunch}", L"TesselTestLauncher"));
    EXPECT_FALSE(Exists(common));
    EXPECT_FALSE(Exists(user));
    // Nothing left: the per-user deletion, the last one attempted, fails.
    EXPECT_FALSE(DeleteShortcut(L"{QuickLaunch}", L"TesselTestLauncher"));
}
