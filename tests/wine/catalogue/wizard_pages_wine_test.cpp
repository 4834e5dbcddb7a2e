// The search and selection pages in this process, in the program's main window,
// against the sample update server on 127.0.0.2 (run.sh). TESSEL_EXPECT_LANGUAGE
// (en or ko) says which language the system runs in.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "resource.h"
#include "tests/driver/window_driver.h"
#include "tests/harness/message_pump_win.h"
#include "tests/wine/catalogue/catalogue_wine_support.h"
#include "updater/shell/main_dlg_win.h"
#include "updater/shell/shell_messages_win.h"

namespace {

bool Korean() {
    const char *language = std::getenv("TESSEL_EXPECT_LANGUAGE");
    return language && std::string(language) == "ko";
}

const wchar_t *Text(const wchar_t *korean, const wchar_t *english) { return Korean() ? korean : english; }

std::wstring ItemText(HWND page, int id) { return windriver::Text(GetDlgItem(page, id)); }

std::wstring ColumnTitle(HWND list, int column) {
    wchar_t title[64] = L"";
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT;
    info.pszText = title;
    info.cchTextMax = 64;
    SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
    return title;
}

int CheckedRows(HWND list) {
    int checked = 0;
    for (int row = 0, rows = ListView_GetItemCount(list); row < rows; ++row)
        checked += ListView_GetCheckState(list, row) ? 1 : 0;
    return checked;
}

class WizardPagesTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        RegisterShellMessages();
        ASSERT_TRUE(RegisterMainWindowClass(GetModuleHandleW(nullptr)));
        InstallSampleVersions();
    }
    static void TearDownTestSuite() { RemoveSampleVersions(); }
    void SetUp() override { ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr))); }

    // Starts the search as start-up does and waits for the selection page's start.
    bool SearchUntilSelection() {
        SendMessageW(window.Handle(), WM_APP_ACTIVATE, 1, 0);
        return PumpUntil(
            [&] {
                return window.CurrentPage() == kSelectPage &&
                       ItemText(Select(), IDC_HEADING) == Text(L"업데이트할 구성요소를 선택하세요.",
                                                               L"Select components to be updated.");
            },
            15000);
    }
    HWND Select() { return window.SelectPage().Handle(); }
    HWND List() { return GetDlgItem(Select(), IDC_COMPONENT_LIST); }
    bool StartEnabled() { return IsWindowEnabled(GetDlgItem(Select(), IDC_START_INSTALL)) != FALSE; }
    int CheckAllState() { return static_cast<int>(IsDlgButtonChecked(Select(), IDC_CHECK_ALL)); }
    void Press(int id) {
        SendMessageW(GetDlgItem(Select(), id), BM_CLICK, 0, 0);
        PumpFor(50);
    }

    CMainDlg window;
};

TEST_F(WizardPagesTest, SelectionPageControlsAreSetUpInTheSystemLanguage) {
    SetDeviceProfile(SampleDevice(L"Win7"));
    ASSERT_TRUE(SearchUntilSelection());
    HWND list = List();
    EXPECT_EQ(Text(L"이름", L"Name"), ColumnTitle(list, 0));
    EXPECT_EQ(Text(L"현재 버전", L"Installed Version"), ColumnTitle(list, 1));
    EXPECT_EQ(Text(L"설치할 버전", L"New Version"), ColumnTitle(list, 2));
    EXPECT_EQ(265, ListView_GetColumnWidth(list, 0));
    EXPECT_EQ(130, ListView_GetColumnWidth(list, 1));
    EXPECT_EQ(120, ListView_GetColumnWidth(list, 2));
    const DWORD extended = ListView_GetExtendedListViewStyle(list);
    EXPECT_TRUE(extended & LVS_EX_CHECKBOXES);
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    LOGFONTW font{};
    ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), sizeof font, &font));
    EXPECT_EQ(24, font.lfHeight);
    EXPECT_EQ(FW_NORMAL, font.lfWeight);
    EXPECT_EQ(Text(L"전체 업데이트 (관련된 모든 구성요소들을 업데이트합니다.)", L"Check All (Update all components.)"),
              ItemText(Select(), IDC_CHECK_ALL));
    EXPECT_EQ(Text(L"설치 시작", L"Start Install"), ItemText(Select(), IDC_START_INSTALL));
    EXPECT_EQ(Text(L"취소", L"Cancel"), ItemText(Select(), IDC_CANCEL_PAGE));
    EXPECT_EQ(Text(L"취소", L"Cancel"), ItemText(window.SearchPage().Handle(), IDC_CANCEL_PAGE));
}

// The rows, Check All and the mouse are driven end to end in tests/e2e/catalogue;
// here what only this process sees: the rows handed on, changes that come without a
// click, and what a second visit of the page starts from.
TEST_F(WizardPagesTest, RowsCarryTheirPackagesAndEachVisitStartsFromTheTicks) {
    SetDeviceProfile(SampleDevice(L"Win7"));
    ASSERT_TRUE(SearchUntilSelection());
    HWND list = List();
    const int rows = ListView_GetItemCount(list);
    ASSERT_EQ(5, rows);
    const std::vector<PackageList> packages = window.SelectPage().CheckedPackages();
    ASSERT_EQ(4u, packages.size());
    EXPECT_EQ(L"HIDeGalaxTouch", packages.front().front().component);
    EXPECT_EQ(L"Win7", packages.front().front().windowsFolder);
    EXPECT_EQ(L"g2.zip", packages.back().front().fileName);
    EXPECT_EQ(L"", packages.back().front().windowsFolder);

    // A box changed without a click (the space bar) is followed as well.
    Press(IDC_CHECK_ALL);
    Press(IDC_CHECK_ALL);
    ASSERT_FALSE(StartEnabled());
    ListView_SetCheckState(list, 3, TRUE);
    EXPECT_TRUE(PumpUntil([&] { return StartEnabled(); }));

    // Every row ticked: the next visit shows "Check All" set.
    for (int row = 0; row < rows; ++row)
        ListView_SetCheckState(list, row, TRUE);
    window.ShowPage(kSelectPage, true);
    EXPECT_TRUE(PumpUntil([&] { return CheckAllState() == BST_CHECKED; }));

    // Nothing ticked: the next visit starts with the button enabled, as the first
    // did, and pressing it leaves the page where it is.
    Press(IDC_CHECK_ALL);
    ASSERT_EQ(0, CheckedRows(list));
    window.ShowPage(kSelectPage, true);
    EXPECT_TRUE(PumpUntil([&] { return StartEnabled(); }));
    EXPECT_EQ(BST_UNCHECKED, CheckAllState());
    Press(IDC_START_INSTALL);
    EXPECT_EQ(kSelectPage, window.CurrentPage());
    EXPECT_FALSE(IsWindowVisible(window.ProgressPage().Handle()));
}

TEST_F(WizardPagesTest, ANewSearchClearsTheOldRowsAndAnEmptyCatalogueSaysSo) {
    SetDeviceProfile(SampleDevice(L"Win7"));
    ASSERT_TRUE(SearchUntilSelection());
    ASSERT_GT(ListView_GetItemCount(List()), 0);

    DeviceProfile unknown = SampleDevice(L"Win7");
    unknown.modelName = L"marbo K9";
    SetDeviceProfile(unknown);
    SendMessageW(window.Handle(), WM_APP_ACTIVATE, 1, 0);
    HWND search = window.SearchPage().Handle();
    const std::wstring nothing = Text(L"업데이트할 구성요소가 없습니다.", L"No components were found to be updated.");
    EXPECT_TRUE(PumpUntil([&] { return ItemText(search, IDC_HEADING) == nothing; }, 15000))
        << ItemText(search, IDC_HEADING);
    EXPECT_EQ(kSearchPage, window.CurrentPage());
    EXPECT_EQ(0, ListView_GetItemCount(List()));
    EXPECT_TRUE(window.SelectPage().Rows().Empty());
    EXPECT_EQ(L"", ItemText(Select(), IDC_HEADING));
    EXPECT_EQ(L"marbo K9 EX", ItemText(search, IDC_STATUS));
}

}  // namespace
