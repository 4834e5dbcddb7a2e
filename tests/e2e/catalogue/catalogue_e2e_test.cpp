// Tessel.exe on a simulated "marbo K4 EX" (run.sh gives the firmware and serves the
// sample catalogue tree on 127.0.0.2), driven through its windows: the rows it
// offers on Windows 7, Vista and XP, the check boxes, and the report folders it
// leaves on the server.
//   catalogue_e2e_test TESSEL_EXE [gtest flags]
// TESSEL_EXPECT_LANGUAGE (en or ko) says in which language the system runs;
// TESSEL_CATALOGUE_TREE is the served tree (a Unix path).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/driver/polling.h"
#include "tests/driver/window_driver.h"
#include "tests/e2e/tessel/tessel_process_win.h"
#include "tests/wine/catalogue/catalogue_wine_support.h"

namespace {

std::string g_tesselExe;


const wchar_t *Text(const wchar_t *korean, const wchar_t *english) { return ExpectKorean() ? korean : english; }

// The Windows version Wine reports to Tessel.exe alone.
void ReportWindows(const std::wstring &windowsName) {
    ReportWindowsVersionTo(L"Tessel.exe", windowsName == L"XP"      ? L"winxp"
                                          : windowsName == L"Vista" ? L"vista"
                                                                    : L"win7");
}

std::vector<std::wstring> RowLines(HWND list) {
    std::vector<windriver::ListRow> rows;
    EXPECT_TRUE(windriver::ReadListRows(list, rows));
    std::vector<std::wstring> lines;
    for (const auto &row : rows)
        lines.push_back(row.cells.at(0) + L"|" + row.cells.at(1) + L"|" + row.cells.at(2) + L"|" +
                        (row.checked ? L"x" : L" "));
    return lines;
}

int CheckedRows(HWND list) {
    std::vector<windriver::ListRow> rows;
    windriver::ReadListRows(list, rows);
    int checked = 0;
    for (const auto &row : rows)
        checked += row.checked ? 1 : 0;
    return checked;
}

class CatalogueE2eTest : public testing::Test {
protected:
    static void SetUpTestSuite() { InstallSampleVersions(); }
    static void TearDownTestSuite() {
        RemoveSampleVersions();
        // Later tests in the prefix start Tessel on the prefix's own Windows.
        ReportWindowsVersionTo(L"Tessel.exe", L"");
    }
    void SetUp() override {
        install = std::make_unique<TesselInstall>(g_tesselExe, L"C:\\Program Files\\Tessel");
        ASSERT_TRUE(install->Installed());
    }

    // Starts Tessel reporting `windowsName` and waits for its selection page.
    HWND StartUntilSelection(const std::wstring &windowsName) {
        ReportWindows(windowsName);
        tessel = install->Start();
        if (!tessel)
            return nullptr;
        window = WaitMainWindow(tessel->Id());
        if (!window)
            return nullptr;
        HWND list = windriver::WaitControl(window, kList, windriver::ControlState::Visible, 30000);
        if (!list)
            return nullptr;
        page = GetParent(list);
        // The page's start comes one tick after it is shown.
        if (!windriver::WaitText(page, kHeading, Text(L"업데이트할 구성요소를 선택하세요.",
                                                      L"Select components to be updated.")))
            return nullptr;
        return list;
    }
    bool StartEnabled() { return windriver::IsEnabledControl(GetDlgItem(page, kStartInstall)); }

    std::unique_ptr<TesselInstall> install;
    std::unique_ptr<windriver::Process> tessel;
    HWND window = nullptr, page = nullptr;
};

TEST_F(CatalogueE2eTest, OffersThePredictedRowsOnEachWindowsAndLeavesItsReportFolders) {
    for (const wchar_t *windows : {L"Win7", L"Vista", L"XP"}) {
        HWND list = StartUntilSelection(windows);
        ASSERT_TRUE(list) << windows << "\n"
                          << (window ? windriver::DescribeControls(window, false) : std::wstring());
        EXPECT_EQ(SampleRows(windows), RowLines(list)) << windows;
        EXPECT_EQ(L"marbo K4 EX", windriver::Text(GetDlgItem(page, kStatus)));
        EXPECT_EQ(BST_UNCHECKED, windriver::ButtonCheckState(GetDlgItem(page, kCheckAll)));
        EXPECT_EQ(Text(L"전체 업데이트 (관련된 모든 구성요소들을 업데이트합니다.)",
                       L"Check All (Update all components.)"),
                  windriver::Text(GetDlgItem(page, kCheckAll)));
        EXPECT_EQ(Text(L"설치 시작", L"Start Install"), windriver::Text(GetDlgItem(page, kStartInstall)));
        EXPECT_EQ(Text(L"취소", L"Cancel"), windriver::Text(GetDlgItem(page, kCancel)));
        if (std::wstring(windows) == L"Win7") {
            CreateDirectoryW(L"screenshots", nullptr);
            EXPECT_TRUE(windriver::TakeScreenshot(ExpectKorean() ? L"screenshots\\selection_ko.png"
                                                           : L"screenshots\\selection_en.png"));
        }
        ASSERT_TRUE(windriver::Click(page, kCancel));
        EXPECT_TRUE(tessel->Wait(10000));
    }
    const std::wstring device = SampleTreeFolder() + L"\\[MID]\\[]\\(9HK4) (marbo K4) (EX) (" +
                                (ExpectKorean() ? L"0412" : L"0409") + L")";
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(device.c_str())) << "no report folder";
}

TEST_F(CatalogueE2eTest, CheckAllBothWaysAndAMouseClickOnTheLastTickedRow) {
    HWND list = StartUntilSelection(L"Win7");
    ASSERT_TRUE(list);
    const int rows = static_cast<int>(RowLines(list).size());
    ASSERT_EQ(5, rows);

    ASSERT_TRUE(windriver::Click(page, kCheckAll));
    ASSERT_TRUE(windriver::PollUntil([&] { return CheckedRows(list) == rows; }, 3000));
    EXPECT_TRUE(StartEnabled());
    ASSERT_TRUE(windriver::Click(page, kCheckAll));
    ASSERT_TRUE(windriver::PollUntil([&] { return CheckedRows(list) == 0; }, 3000));
    EXPECT_TRUE(windriver::PollUntil([&] { return !StartEnabled(); }, 3000));

    // Nothing ticked: "Start Install" leaves the page where it is.
    PostMessageW(GetDlgItem(page, kStartInstall), BM_CLICK, 0, 0);
    Sleep(300);
    EXPECT_TRUE(windriver::IsShown(list));
    EXPECT_FALSE(VisiblePageWith(window, kLog));

    // Tick one row with the mouse, then clear it: the button follows within a tick.
    ASSERT_TRUE(windriver::ClickListCheck(list, 1));
    EXPECT_TRUE(windriver::PollUntil([&] { return StartEnabled(); }, 2000));
    EXPECT_EQ(1, CheckedRows(list));
    ASSERT_TRUE(windriver::ClickListCheck(list, 1));
    EXPECT_TRUE(windriver::PollUntil([&] { return !StartEnabled(); }, 2000));
    EXPECT_EQ(0, CheckedRows(list));
    EXPECT_EQ(BST_UNCHECKED, windriver::ButtonCheckState(GetDlgItem(page, kCheckAll)));

    // With a row ticked, "Start Install" moves on to the progress page.
    ASSERT_TRUE(windriver::ClickListCheck(list, 4));
    ASSERT_TRUE(windriver::Click(page, kStartInstall));
    EXPECT_TRUE(windriver::PollUntil([&] { return VisiblePageWith(window, kLog) != nullptr; }, 5000));
    EXPECT_FALSE(windriver::IsShown(list));
    EXPECT_TRUE(CloseAndWait(window, *tessel));
}

// Run against a server that answers each command 300 ms late (the run with
// "--reply-delay 0.3"): the search takes half a minute, and meanwhile the window
// answers at once, repaints, and Cancel ends the program.
TEST_F(CatalogueE2eTest, SlowServerSearchLeavesTheWindowAnsweringAndCancelEndsIt) {
    ReportWindows(L"Win7");
    tessel = install->Start();
    ASSERT_TRUE(tessel);
    window = WaitMainWindow(tessel->Id());
    ASSERT_TRUE(window);
    HWND search = nullptr;
    ASSERT_TRUE(windriver::PollUntil([&] { return (search = VisiblePageWith(window, kHeading)) != nullptr; },
                                     kTesselStartMs));
    const std::wstring searching = Text(L"업데이트할 구성요소를 검색중입니다.", L"Searching for components to be updated.");
    ASSERT_TRUE(windriver::WaitText(search, kHeading, searching));

    // Three seconds of the search: every probe answered within 100 ms, every
    // invalidated page painted again.
    int probes = 0, repaints = 0;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 3000; Sleep(50)) {
        DWORD_PTR answer = 0;
        const DWORD sent = GetTickCount();
        EXPECT_TRUE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 100, &answer))
            << "after " << (GetTickCount() - sent) << " ms";
        ++probes;
        if (probes % 10 == 0) {
            InvalidateRect(search, nullptr, TRUE);
            if (windriver::PollUntil([&] { return !GetUpdateRect(search, nullptr, FALSE); }, 500)) ++repaints;
        }
    }
    EXPECT_GE(probes, 30);
    EXPECT_EQ(repaints, probes / 10);
    // Still searching: the server's pace makes the search outlast the probes.
    EXPECT_EQ(searching, windriver::Text(GetDlgItem(search, kHeading)));
    EXPECT_FALSE(VisiblePageWith(window, kList));

    const DWORD pressed = GetTickCount();
    ASSERT_TRUE(windriver::Click(search, kCancel));
    ASSERT_TRUE(tessel->Wait(5000)) << "Tessel still runs 5 s after Cancel";
    EXPECT_LT(GetTickCount() - pressed, 3000u);
    EXPECT_EQ(0u, tessel->ExitCode());
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: catalogue_e2e_test TESSEL_EXE\n");
        return 2;
    }
    for (const wchar_t *c = argv[1]; *c; ++c)
        g_tesselExe += static_cast<char>(*c);
    return RUN_ALL_TESTS();
}
