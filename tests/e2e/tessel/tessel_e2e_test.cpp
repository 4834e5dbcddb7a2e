// Tessel.exe under Wine, driven through its window: start-up, single instance,
// the hidden start with Windows, what start-up writes and removes, and closing.
//   tessel_e2e_test TESSEL_EXE TESSEL_BUSY_TEST_EXE [gtest flags]
// TESSEL_EXPECT_LANGUAGE (en or ko) says in which language the system runs.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/kernel_handle_win.h"
#include "tests/driver/polling.h"
#include "tests/driver/window_driver.h"
#include "tests/e2e/tessel/tessel_process_win.h"

namespace {

std::string g_tesselExe, g_busyTestExe;

const wchar_t kProductKey[] = L"SOFTWARE\\Parvoni\\Tessel";
const wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kProgramFolder[] = L"C:\\Program Files\\Tessel";
// A second copy's whole life, from its start to its end.
constexpr DWORD kSecondCopyEndsMs = 2500;


std::wstring WindowTitle(HWND window) {
    wchar_t title[256] = L"";
    GetWindowTextW(window, title, 256);
    return title;
}

class TesselTest : public testing::Test {
protected:
    void SetUp() override {
        DeleteMachineKey(kProductKey);
        install = std::make_unique<TesselInstall>(g_tesselExe, kProgramFolder);
        ASSERT_TRUE(install->Installed());
    }

    windriver::Process *Launch(const std::wstring &arguments = L"") {
        started.push_back(install->Start(arguments));
        return started.back().get();
    }

    // Starts Tessel and waits for its main window, which may stay hidden.
    HWND StartAndWait(windriver::Process *&process, const std::wstring &arguments = L"") {
        process = Launch(arguments);
        return process ? WaitMainWindow(process->Id()) : nullptr;
    }

    // Starts Tessel and waits until start-up is over and the window is shown.
    HWND StartAndWaitShown(windriver::Process *&process) {
        HWND window = StartAndWait(process);
        if (window && !windriver::PollUntil([&] { return IsWindowVisible(window) != FALSE; }, kTesselStartMs))
            return nullptr;
        return window;
    }

    std::unique_ptr<TesselInstall> install;
    std::vector<std::unique_ptr<windriver::Process>> started;
};

TEST_F(TesselTest, FirstStartShowsTheSearchPageTitledInTheSystemLanguageAndItsOutcome) {
    windriver::Process *tessel;
    HWND window = StartAndWait(tessel);
    ASSERT_TRUE(window);
    ASSERT_TRUE(windriver::PollUntil([&] { return IsWindowVisible(window) != FALSE; }, kTesselStartMs));

    HWND page = VisiblePageWith(window, kHeading);
    ASSERT_TRUE(page) << windriver::DescribeControls(window, false);
    // The search page: no check box (selection page), no log (progress page).
    EXPECT_FALSE(GetDlgItem(page, kCheckAll));
    EXPECT_FALSE(GetDlgItem(page, kLog));
    EXPECT_TRUE(GetDlgItem(page, kStatus));
    if (ExpectKorean()) {
        EXPECT_EQ(L"Tessel 업데이트 매니저 1.2.E", WindowTitle(window));
        std::wstring heading;
        // The search finds no server and says so.
        EXPECT_TRUE(windriver::WaitText(page, kHeading, L"서버에 접속할 수 없습니다.", &heading))
            << "heading: " << heading;
        EXPECT_EQ(L"취소", windriver::Text(GetDlgItem(page, kCancel)));
    } else {
        EXPECT_EQ(L"Tessel Update Manager 1.2.E", WindowTitle(window));
        std::wstring heading;
        EXPECT_TRUE(windriver::WaitText(page, kHeading, L"Failed to connect to the server.", &heading))
            << "heading: " << heading;
        EXPECT_EQ(L"Cancel", windriver::Text(GetDlgItem(page, kCancel)));
    }
    // An unidentified device: no model on the status line.
    EXPECT_EQ(L"", windriver::Text(GetDlgItem(page, kStatus)));

    // Cancel ends the program.
    ASSERT_TRUE(windriver::Click(page, kCancel));
    EXPECT_TRUE(tessel->Wait(kTesselStartMs));
}

TEST_F(TesselTest, RecordsItsVersionUnderTheProductKeyOfAnUnknownDevice) {
    windriver::Process *tessel;
    HWND window = StartAndWait(tessel);
    ASSERT_TRUE(window);
    std::wstring version, run;
    EXPECT_TRUE(ReadMachineString(kProductKey, L"version", version));
    EXPECT_EQ(L"1.2.E", version);
    EXPECT_TRUE(ReadMachineString(kProductKey, L"Run", run));
    EXPECT_EQ(std::wstring(kProgramFolder) + L"\\Tessel.exe", run);
    EXPECT_TRUE(CloseAndWait(window, *tessel));
}

TEST_F(TesselTest, SecondStartBringsTheFirstForwardAndEnds) {
    windriver::Process *first;
    HWND window = StartAndWaitShown(first);
    ASSERT_TRUE(window);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(windriver::PollUntil([&] { return IsIconic(window) != FALSE; }, 5000));

    const DWORD launched = GetTickCount();
    windriver::Process *second = Launch();
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->Wait(kTesselStartMs)) << "the second copy did not end";
    // It ends before identifying the device, whose memory driver route alone
    // costs seconds under Wine (and would remove the service the first copy uses).
    const DWORD secondCopyMs = GetTickCount() - launched;
    EXPECT_LT(secondCopyMs, kSecondCopyEndsMs);
    EXPECT_TRUE(first->Running());
    EXPECT_EQ(window, WaitMainWindow(first->Id(), 0));
    EXPECT_FALSE(IsIconic(window)) << "the first copy's window was not restored";
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(VisiblePageWith(window, kHeading));
    // Only the one window of class "Tessel" exists.
    EXPECT_FALSE(FindWindowExW(nullptr, window, L"Tessel", nullptr));
    EXPECT_TRUE(CloseAndWait(window, *first));
}

// A user without administrator rights who makes a mutex of Tessel's name first
// does not stop it. Wine runs every process as one user, so the mutex here has a
// stand-in owner, another user's SID, as a pupil's own mutex has on Windows.
TEST_F(TesselTest, AMutexOfItsNameMadeByAnotherUserDoesNotStopIt) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"O:S-1-5-21-1004336348-1177238915-682003330-1013D:(A;;GA;;;WD)", SDDL_REVISION_1,
        &descriptor, nullptr));
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    CKernelHandle squatter(
        CreateMutexW(&attributes, FALSE, L"31E22172_9116_442E_A5AD_135422B51BA1_TesselMID"));
    LocalFree(descriptor);
    ASSERT_TRUE(squatter);

    windriver::Process *tessel;
    HWND window = StartAndWaitShown(tessel);
    ASSERT_TRUE(window) << "Tessel ended as a second copy";
    EXPECT_TRUE(VisiblePageWith(window, kHeading));
    EXPECT_TRUE(CloseAndWait(window, *tessel));
}

TEST_F(TesselTest, WindowsStartStaysHiddenUntilStartedAgain) {
    windriver::Process *first;
    HWND window = StartAndWait(first, L"  /wINDOWSsTART  ");
    ASSERT_TRUE(window);
    Sleep(1500);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(VisiblePageWith(window, kHeading)) << "a page was shown in the hidden window";

    windriver::Process *second = Launch();
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->Wait(kTesselStartMs));
    ASSERT_TRUE(windriver::PollUntil([&] { return IsWindowVisible(window) != FALSE; }, kTesselStartMs));
    HWND page = VisiblePageWith(window, kHeading);
    ASSERT_TRUE(page);
    EXPECT_FALSE(GetDlgItem(page, kCheckAll));
    // The search page's work starts one timer tick after the page is shown.
    EXPECT_TRUE(windriver::PollUntil(
        [&] { return !windriver::Text(GetDlgItem(page, kHeading)).empty(); }, 5000))
        << "the search did not start";
    EXPECT_TRUE(CloseAndWait(window, *first));
}

TEST_F(TesselTest, AnyOtherArgumentShowsTheWindow) {
    windriver::Process *tessel;
    HWND window = StartAndWait(tessel, L"/WindowsStartNow");
    ASSERT_TRUE(window);
    EXPECT_TRUE(windriver::PollUntil([&] { return IsWindowVisible(window) != FALSE; }, kTesselStartMs));
    EXPECT_TRUE(CloseAndWait(window, *tessel));
}

TEST_F(TesselTest, RemovesOnlyItsOwnAutostartValue) {
    ASSERT_TRUE(WriteMachineString(kRunKey, L"Tessel for MID", L"C:\\old\\Tessel.exe"));
    ASSERT_TRUE(WriteMachineString(kRunKey, L"Other Program", L"C:\\other.exe"));
    windriver::Process *tessel;
    HWND window = StartAndWait(tessel);
    ASSERT_TRUE(window);
    std::wstring value;
    EXPECT_FALSE(ReadMachineString(kRunKey, L"Tessel for MID", value));
    EXPECT_TRUE(ReadMachineString(kRunKey, L"Other Program", value));
    EXPECT_TRUE(CloseAndWait(window, *tessel));

    // Without the value start-up goes on as usual.
    tessel = nullptr;
    window = StartAndWait(tessel);
    ASSERT_TRUE(window);
    EXPECT_TRUE(windriver::PollUntil([&] { return IsWindowVisible(window) != FALSE; }, kTesselStartMs));
    EXPECT_TRUE(ReadMachineString(kRunKey, L"Other Program", value));
    EXPECT_TRUE(CloseAndWait(window, *tessel));
}

TEST_F(TesselTest, TemporaryFolderIsRemovedAtStartAndAtExit) {
    const std::wstring leftover = install->TempFolder() + L"\\TesselMIDSetup\\1.2.D\\old.exe";
    ASSERT_TRUE(WriteFileWithFolders(leftover, "old setup"));
    SetFileAttributesW(leftover.c_str(), FILE_ATTRIBUTE_READONLY);

    windriver::Process *tessel;
    HWND window = StartAndWaitShown(tessel);
    ASSERT_TRUE(window);
    EXPECT_FALSE(Exists(install->TempFolder()));

    ASSERT_TRUE(WriteFileWithFolders(install->TempFolder() + L"\\package\\data.zip", "zip"));
    EXPECT_TRUE(CloseAndWait(window, *tessel));
    EXPECT_FALSE(Exists(install->TempFolder()));
}

TEST_F(TesselTest, SecondCopyLeavesTheRunningCopysTemporaryFolder) {
    windriver::Process *first;
    HWND window = StartAndWaitShown(first);
    ASSERT_TRUE(window);
    const std::wstring download = install->TempFolder() + L"\\package\\data.zip";
    ASSERT_TRUE(WriteFileWithFolders(download, "downloading"));

    windriver::Process *second = Launch();
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->Wait(kTesselStartMs));
    EXPECT_TRUE(Exists(download));
    EXPECT_TRUE(CloseAndWait(window, *first));
}

TEST_F(TesselTest, WindowRefusesToCloseWhileAnInstallationRuns) {
    TesselInstall busyBuild(g_busyTestExe, L"C:\\TesselBusyTest");
    ASSERT_TRUE(busyBuild.Installed());
    started.push_back(busyBuild.Start());
    windriver::Process *tessel = started.back().get();
    ASSERT_TRUE(tessel);
    HWND window = WaitMainWindow(tessel->Id());
    ASSERT_TRUE(window);
    ASSERT_TRUE(windriver::PollUntil([&] { return IsWindowVisible(window) != FALSE; }, kTesselStartMs));
    const UINT setBusy = RegisterWindowMessageW(L"TesselTest::WM_SET_BUSY");
    ASSERT_EQ(1, SendMessageW(window, setBusy, 1, 0));

    PostMessageW(window, WM_CLOSE, 0, 0);
    HWND page = VisiblePageWith(window, kCancel);
    ASSERT_TRUE(page);
    ASSERT_TRUE(windriver::Click(page, kCancel));
    EXPECT_FALSE(tessel->Wait(1500)) << "the window closed during an installation";
    EXPECT_TRUE(IsWindowVisible(window));

    ASSERT_EQ(1, SendMessageW(window, setBusy, 0, 0));
    EXPECT_TRUE(CloseAndWait(window, *tessel));
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: tessel_e2e_test TESSEL_EXE TESSEL_BUSY_TEST_EXE\n");
        return 2;
    }
    auto narrow = [](const wchar_t *wide) {
        std::string text;
        for (; *wide; ++wide)
            text += static_cast<char>(*wide);
        return text;
    };
    g_tesselExe = narrow(argv[1]);
    g_busyTestExe = narrow(argv[2]);
    return RUN_ALL_TESTS();
}
