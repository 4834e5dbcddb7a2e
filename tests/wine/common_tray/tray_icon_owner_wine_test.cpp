#include "common/tray_icon_owner.h"

#include <string>

#include <gtest/gtest.h>

#include "common/system_folders.h"

namespace {

// Starts tray_chain_host.exe and waits for its window chain; closes it at the end.
class TrayChainTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::wstring exe = GetProgramFolder() + L"\\tray_chain_host.exe";
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        std::wstring command = L"\"" + exe + L"\"";
        if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &host_))
            return;
        CloseHandle(host_.hThread);
        // The helper makes the tray window first and the quiet window last.
        for (int i = 0; i < 200 && !(tray_ && FindWindowW(L"TesselQuietWindow", nullptr)); ++i) {
            tray_ = FindWindowW(L"TesselTestTrayWnd", L"TesselTestTray");
            Sleep(50);
        }
    }
    static void TearDownTestSuite() {
        if (!host_.hProcess) return;
        if (tray_) PostMessageW(tray_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(host_.hProcess, 5000) != WAIT_OBJECT_0)
            TerminateProcess(host_.hProcess, 1);
        CloseHandle(host_.hProcess);
        host_ = {};
        tray_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(nullptr, host_.hProcess) << "tray_chain_host.exe did not start";
        ASSERT_NE(nullptr, tray_) << "the helper's tray window did not appear";
        toolbar_ = FindTrayToolbarBelow(tray_);
        ASSERT_NE(nullptr, toolbar_);
    }

    static PROCESS_INFORMATION host_;
    static HWND tray_;
    HWND toolbar_ = nullptr;
};

PROCESS_INFORMATION TrayChainTest::host_ = {};
HWND TrayChainTest::tray_ = nullptr;

}  // namespace

TEST_F(TrayChainTest, TheToolbarLivesInTheHelpersProcess) {
    wchar_t cls[64];
    GetClassNameW(toolbar_, cls, 64);
    EXPECT_STREQ(L"ToolbarWindow32", cls);
    DWORD pid = 0;
    GetWindowThreadProcessId(toolbar_, &pid);
    EXPECT_EQ(host_.dwProcessId, pid);
    EXPECT_NE(GetCurrentProcessId(), pid);
}

TEST_F(TrayChainTest, OwnerFoundByClassPrefix) {
    HWND player = FindWindowW(L"TesselIconOwner", nullptr);
    ASSERT_NE(nullptr, player);
    EXPECT_EQ(player, FindTrayIconOwnerIn(toolbar_, L"TesselIcon", L""));
    EXPECT_EQ(player, FindTrayIconOwnerIn(toolbar_, L"tesselicon", L""));
    EXPECT_EQ(player, FindTrayIconOwnerIn(toolbar_, L"TesselIconOwner", L""));
    EXPECT_EQ(nullptr, FindTrayIconOwnerIn(toolbar_, L"TesselIconOwnerX", L""));
}

TEST_F(TrayChainTest, OwnerFoundByTitlePrefix) {
    HWND messenger = FindWindowW(L"MessengerMain", nullptr);
    HWND player = FindWindowW(L"TesselIconOwner", nullptr);
    ASSERT_NE(nullptr, messenger);
    EXPECT_EQ(messenger, FindTrayIconOwnerIn(toolbar_, L"", L"MESSEN"));
    EXPECT_EQ(player, FindTrayIconOwnerIn(toolbar_, L"", L"Player 2"));
    // Either prefix may match.
    EXPECT_EQ(player, FindTrayIconOwnerIn(toolbar_, L"NoSuchClass", L"player"));
}

TEST_F(TrayChainTest, WindowWithoutAnIconIsNotFound) {
    ASSERT_NE(nullptr, FindWindowW(L"TesselQuietWindow", nullptr));
    EXPECT_EQ(nullptr, FindTrayIconOwnerIn(toolbar_, L"TesselQuiet", L"Quiet"));
    EXPECT_EQ(nullptr, FindTrayIconOwnerIn(toolbar_, L"", L""));
    EXPECT_EQ(nullptr, FindTrayIconOwnerIn(nullptr, L"TesselIcon", L""));
    EXPECT_EQ(nullptr, FindTrayIconOwner(L"TesselQuiet", L"Quiet Window"));
}

TEST_F(TrayChainTest, ChainMustBeComplete) {
    EXPECT_EQ(nullptr, FindTrayToolbarBelow(FindWindowW(L"TesselQuietWindow", nullptr)));
    EXPECT_EQ(nullptr, FindTrayToolbarBelow(nullptr));
}
