// CMainDlg in this process: its pages, the show request, closing and the
// notification-area message, with the program's own dialog resources.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "resource.h"
#include "tests/harness/message_pump_win.h"
#include "updater/wizard/busy_flag.h"
#include "updater/shell/main_dlg_win.h"
#include "updater/shell/shell_messages_win.h"

namespace {

std::wstring Text(HWND window) {
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return text;
}

class MainWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        RegisterShellMessages();
        ASSERT_TRUE(RegisterMainWindowClass(GetModuleHandleW(nullptr)));
    }
    void SetUp() override {
        SetInstallationBusy(false);
        ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr)));
    }
    void TearDown() override {
        SetInstallationBusy(false);
        // Drop a quit message a close may have posted.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    // The page's own visibility, whether or not the main window is on screen.
    bool Shown(CWizardPage &page) {
        return (GetWindowLongW(page.Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
    }
    // Which pages are visible, as "search select progress" flags.
    std::string ShownPages() {
        return std::string(Shown(window.SearchPage()) ? "S" : "-") +
               (Shown(window.SelectPage()) ? "E" : "-") + (Shown(window.ProgressPage()) ? "P" : "-");
    }
    std::wstring SearchHeading() {
        return Text(GetDlgItem(window.SearchPage().Handle(), IDC_HEADING));
    }

    CMainDlg window;
};

TEST_F(MainWindowTest, StartsHiddenWithItsThreePagesFillingIt) {
    HWND handle = window.Handle();
    EXPECT_FALSE(IsWindowVisible(handle));
    wchar_t className[64] = L"";
    GetClassNameW(handle, className, 64);
    EXPECT_STREQ(L"Tessel", className);
    EXPECT_EQ(L"Tessel Update Manager 1.2.E", Text(handle));
    EXPECT_EQ(kNoPage, window.CurrentPage());
    EXPECT_EQ("---", ShownPages());
    // Application window style: a taskbar button once shown.
    EXPECT_TRUE(GetWindowLongW(handle, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    RECT client, page;
    GetClientRect(handle, &client);
    for (CWizardPage *p : {static_cast<CWizardPage *>(&window.SearchPage()),
                           static_cast<CWizardPage *>(&window.SelectPage()),
                           static_cast<CWizardPage *>(&window.ProgressPage())}) {
        EXPECT_EQ(handle, GetParent(p->Handle()));
        GetWindowRect(p->Handle(), &page);
        MapWindowPoints(nullptr, handle, reinterpret_cast<POINT *>(&page), 2);
        EXPECT_EQ(0, page.left);
        EXPECT_EQ(0, page.top);
        EXPECT_EQ(client.right, page.right);
        EXPECT_EQ(client.bottom, page.bottom);
    }
    // Progress page: Complete and the status line start hidden, Cancel shown.
    HWND progress = window.ProgressPage().Handle();
    EXPECT_FALSE(GetWindowLongW(GetDlgItem(progress, IDC_COMPLETE), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongW(GetDlgItem(progress, IDC_STATUS), GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(progress, IDC_CANCEL_PAGE), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(L"Complete", Text(GetDlgItem(progress, IDC_COMPLETE)));
    EXPECT_EQ(L"Start Install", Text(GetDlgItem(window.SelectPage().Handle(), IDC_START_INSTALL)));
}

TEST_F(MainWindowTest, ResizingMovesThePagesAlong) {
    SetWindowPos(window.Handle(), nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    RECT client, page;
    GetClientRect(window.Handle(), &client);
    GetClientRect(window.SelectPage().Handle(), &page);
    EXPECT_EQ(client.right, page.right);
    EXPECT_EQ(client.bottom, page.bottom);
}

TEST_F(MainWindowTest, ShowPageShowsOneAndStartsItsWorkOnTheTimer) {
    window.ShowPage(kSelectPage, false);
    EXPECT_EQ("-E-", ShownPages());
    // No page: nothing is hidden either.
    window.ShowPage(kNoPage, false);
    EXPECT_EQ("-E-", ShownPages());
    EXPECT_EQ(kNoPage, window.CurrentPage());

    window.ShowPage(kSearchPage, true);
    EXPECT_EQ("S--", ShownPages());
    EXPECT_EQ(L"", SearchHeading()) << "the work started before the timer";
    // The search heading, then (no server listens) the search's outcome.
    EXPECT_TRUE(PumpUntil([&] { return SearchHeading() == L"Failed to connect to the server."; }))
        << "heading: " << SearchHeading();
    EXPECT_EQ(kSearchPage, window.CurrentPage());
}

TEST_F(MainWindowTest, ShowRequestFollowsTheLastPage) {
    // From start-up, nothing shown yet: search page, started, window shown.
    EXPECT_EQ(0, SendMessageW(window.Handle(), WM_APP_ACTIVATE, 1, 0));
    EXPECT_TRUE(IsWindowVisible(window.Handle()));
    EXPECT_EQ("S--", ShownPages());
    EXPECT_TRUE(PumpUntil([&] { return !SearchHeading().empty(); }));

    // An installation on the progress page is never interrupted.
    window.ShowPage(kProgressPage, false);
    SendMessageW(window.Handle(), WM_APP_ACTIVATE, 1, 0);
    EXPECT_EQ(kProgressPage, window.CurrentPage());
    SendMessageW(window.Handle(), WM_APP_ACTIVATE, 0, 0);
    EXPECT_EQ(kProgressPage, window.CurrentPage());
    EXPECT_EQ("--P", ShownPages());

    // A second copy brings back the selection; start-up searches again.
    window.ShowPage(kSelectPage, false);
    SendMessageW(window.Handle(), WM_APP_ACTIVATE, 0, 0);
    EXPECT_EQ("-E-", ShownPages());
    SetWindowTextW(GetDlgItem(window.SearchPage().Handle(), IDC_HEADING), L"");
    SendMessageW(window.Handle(), WM_APP_ACTIVATE, 1, 0);
    EXPECT_EQ("S--", ShownPages());
    EXPECT_TRUE(PumpUntil([&] { return !SearchHeading().empty(); })) << "the search did not restart";
}

TEST_F(MainWindowTest, HiddenWindowIsBroughtBackOnTheSearchPage) {
    window.ShowPage(kNoPage, false);
    SendMessageW(window.Handle(), WM_APP_ACTIVATE, 0, 0);
    EXPECT_TRUE(IsWindowVisible(window.Handle()));
    EXPECT_EQ("S--", ShownPages());
    EXPECT_TRUE(PumpUntil([&] { return !SearchHeading().empty(); }));
}

TEST_F(MainWindowTest, CloseIsRefusedWhileBusyAndEndsTheProgramOtherwise) {
    SendMessageW(window.Handle(), WM_APP_ACTIVATE, 1, 0);
    SetInstallationBusy(true);
    SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window.Handle()));
    EXPECT_TRUE(IsWindowVisible(window.Handle()));
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

    SetInstallationBusy(false);
    SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(nullptr, window.Handle());
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, message.wParam);
}

TEST_F(MainWindowTest, CancelOnAPageClosesTheWindow) {
    SendMessageW(window.Handle(), WM_APP_ACTIVATE, 1, 0);
    SendMessageW(GetDlgItem(window.SearchPage().Handle(), IDC_CANCEL_PAGE), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return window.Handle() == nullptr; }));
}

TEST_F(MainWindowTest, TrayNotificationIsRepostedToTheThreadUnchanged) {
    const UINT trayNotify = GetShellMessages().trayNotify;
    ASSERT_NE(0u, trayNotify);
    EXPECT_EQ(0, SendMessageW(window.Handle(), trayNotify, 5, 6));
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, reinterpret_cast<HWND>(-1), trayNotify, trayNotify, PM_REMOVE));
    EXPECT_EQ(nullptr, message.hwnd);
    EXPECT_EQ(5u, message.wParam);
    EXPECT_EQ(6, message.lParam);
    EXPECT_EQ(0, SendMessageW(window.Handle(), GetShellMessages().taskbarCreated, 0, 0));
    EXPECT_TRUE(IsWindow(window.Handle()));
}

}  // namespace
