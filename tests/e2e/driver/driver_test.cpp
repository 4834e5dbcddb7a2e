// The window driver against a sample dialog in another process, both under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/driver/window_driver.h"
#include "tests/e2e/driver/driver_sample_ids.h"

using namespace windriver;

namespace {

std::wstring g_windriverExe;  // from the command line

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

// ctest hands over Unix paths; Wine shows the Unix root as drive Z:.
std::wstring WindowsPath(const std::wstring &path) {
    return !path.empty() && path[0] == L'/' ? L"Z:" + path : path;
}

// Waits up to ten seconds for a button's state; `state` is the last one seen.
bool PollUntilChecked(HWND button, int wanted, int &state) {
    for (int i = 0; i < 200; ++i) {
        if ((state = ButtonCheckState(button)) == wanted) return true;
        Sleep(50);
    }
    return false;
}

class SampleTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sample_.Start(QuoteArgument(OwnFolder() + L"\\driver_sample.exe")));
        WindowQuery query;
        query.className = L"#32770";
        query.title = L"Driver Sample";
        query.processId = sample_.Id();
        window_ = WaitTopWindow(query);
        ASSERT_NE(window_, nullptr) << "the sample dialog did not appear";
        ASSERT_NE(WaitControl(window_, IDC_PAGE_TEXT), nullptr);
    }

    std::vector<ListRow> Rows() {
        std::vector<ListRow> rows;
        EXPECT_TRUE(ReadListRows(FindControl(window_, IDC_LIST), rows));
        return rows;
    }

    Process sample_;
    HWND window_ = nullptr;
};

TEST_F(SampleTest, FindsTopWindowsByClassTitleAndProcess) {
    WindowQuery part;
    part.title = L"Sample";
    part.titlePart = true;
    part.processId = sample_.Id();
    EXPECT_EQ(FindTopWindow(part), window_);

    WindowQuery whole = part;
    whole.titlePart = false;  // "Sample" is only part of the title
    EXPECT_EQ(FindTopWindow(whole), nullptr);

    WindowQuery otherClass;
    otherClass.className = L"Tessel";
    otherClass.processId = sample_.Id();
    EXPECT_EQ(FindTopWindow(otherClass), nullptr);

    WindowQuery otherProcess;
    otherProcess.title = L"Driver Sample";
    otherProcess.processId = GetCurrentProcessId();
    const DWORD start = GetTickCount();
    EXPECT_EQ(WaitTopWindow(otherProcess, 300), nullptr);
    const DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 290u);
    EXPECT_LT(waited, 3000u);
}

TEST_F(SampleTest, ClickWaitsForAControlToBeShownAndEnabled) {
    EXPECT_FALSE(IsShown(FindControl(window_, IDC_LATER)));
    EXPECT_FALSE(Click(window_, IDC_LATER, 200));
    EXPECT_EQ(WaitControl(window_, 4242, ControlState::Exists, 100), nullptr);

    ASSERT_TRUE(Click(window_, IDC_PRESS));
    std::wstring last;
    EXPECT_TRUE(WaitText(window_, IDC_PRESSES, L"presses: 1", &last)) << "saw " << last.c_str();
    ASSERT_NE(WaitControl(window_, IDC_LATER, ControlState::Visible), nullptr);
    // The sample enables it half a second after showing it.
    ASSERT_NE(WaitControl(window_, IDC_LATER, ControlState::Enabled), nullptr);
    ASSERT_TRUE(Click(window_, IDC_LATER));
    EXPECT_TRUE(WaitText(window_, IDC_PRESSES, L"presses: 11", &last)) << "saw " << last.c_str();
}

TEST_F(SampleTest, CheckBoxStatesAndProgressPositionsAreRead) {
    HWND box = FindControl(window_, IDC_REMEMBER);
    EXPECT_EQ(ButtonCheckState(box), BST_UNCHECKED);
    ASSERT_TRUE(Click(window_, IDC_REMEMBER));
    int state = -1;
    EXPECT_TRUE(PollUntilChecked(box, BST_CHECKED, state)) << "state " << state;

    int position = -1, low = -1, high = -1;
    HWND bar = FindControl(window_, IDC_PROGRESS);
    ASSERT_TRUE(ProgressPosition(bar, position, low, high));
    EXPECT_EQ(position, 0);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 100);
    ASSERT_TRUE(Click(window_, IDC_PRESS));
    ASSERT_TRUE(WaitText(window_, IDC_PRESSES, L"presses: 1"));
    ASSERT_TRUE(ProgressPosition(bar, position, low, high));
    EXPECT_EQ(position, 25);

    EXPECT_EQ(WindowProcessId(window_), sample_.Id());
    EXPECT_EQ(WindowProcessId(nullptr), 0u);
}

TEST_F(SampleTest, TextsAreReadAndWrittenAcrossProcesses) {
    EXPECT_EQ(Text(window_), L"Driver Sample");
    EXPECT_EQ(Text(FindControl(window_, IDC_TYPED)), L"typed: ");
    HWND edit = FindControl(window_, IDC_EDIT);
    const std::wstring typed = L"C:\\Program Files\\설치 폴더";
    ASSERT_TRUE(SetText(edit, typed));
    EXPECT_EQ(Text(edit), typed);
    std::wstring last;
    EXPECT_TRUE(WaitText(window_, IDC_TYPED, L"typed: " + typed, &last)) << "saw " << last.c_str();

    const std::wstring longText(3000, L'x');
    ASSERT_TRUE(SetText(edit, longText));
    EXPECT_EQ(Text(edit), longText);
}

TEST_F(SampleTest, ListRowsAndCheckBoxesAreReadAndSet) {
    std::vector<ListRow> rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].cells, (std::vector<std::wstring>{L"Viewer", L"1.0"}));
    EXPECT_EQ(rows[1].cells, (std::vector<std::wstring>{L"Player", L"2.1"}));
    EXPECT_EQ(rows[2].cells, (std::vector<std::wstring>{L"한글", L"3"}));
    EXPECT_FALSE(rows[0].checked);
    EXPECT_TRUE(rows[1].checked);
    EXPECT_FALSE(rows[2].checked);

    HWND list = FindControl(window_, IDC_LIST);
    ASSERT_TRUE(SetListCheck(list, 0, true));
    ASSERT_TRUE(SetListCheck(list, 1, false));
    rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_TRUE(rows[0].checked);
    EXPECT_FALSE(rows[1].checked);
    EXPECT_TRUE(WaitText(window_, IDC_CHANGES, L"changes: 2"));
    EXPECT_EQ(Text(FindControl(window_, IDC_CLICKS)), L"clicks: 0");
    EXPECT_FALSE(SetListCheck(list, 3, true));
    EXPECT_FALSE(SetListCheck(list, -1, true));

    // A click on the box toggles it as the list itself sees a mouse press.
    ASSERT_TRUE(ClickListCheck(list, 2));
    std::wstring last;
    EXPECT_TRUE(WaitText(window_, IDC_CLICKS, L"clicks: 1", &last)) << "saw " << last.c_str();
    rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_TRUE(rows[2].checked);
    ASSERT_TRUE(ClickListCheck(list, 2));
    EXPECT_TRUE(WaitText(window_, IDC_CLICKS, L"clicks: 2", &last)) << "saw " << last.c_str();
    EXPECT_FALSE(Rows()[2].checked);
    EXPECT_FALSE(ClickListCheck(list, 3));
}

TEST_F(SampleTest, MessageBoxesAreFoundReadAndAnswered) {
    // The sample dialog is a #32770 too, but not a message box.
    EXPECT_EQ(FindMessageBox(L"", sample_.Id()), nullptr);

    for (int answer : {IDNO, IDYES}) {
        ASSERT_TRUE(Click(window_, IDC_ASK));
        HWND box = WaitMessageBox(L"Driver Sample Question", kDefaultTimeoutMs, sample_.Id());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), L"Keep the sample open?");
        EXPECT_FALSE(AnswerMessageBox(box, IDOK, 200)) << "a Yes/No box has no OK button";
        ASSERT_TRUE(AnswerMessageBox(box, answer));
        EXPECT_TRUE(WaitText(window_, IDC_ANSWER, answer == IDYES ? L"answer: yes" : L"answer: no"));
    }
    EXPECT_EQ(WaitMessageBox(L"Driver Sample Question", 200, sample_.Id()), nullptr);
}

TEST_F(SampleTest, AShownPageWinsOverAHiddenOneWithTheSameId) {
    EXPECT_EQ(Text(FindControl(window_, IDC_PAGE_TEXT)), L"first page");
    ASSERT_TRUE(Click(window_, IDC_SWAP));
    std::wstring last;
    EXPECT_TRUE(WaitText(window_, IDC_PAGE_TEXT, L"second page", &last)) << "saw " << last.c_str();

    int shown = 0, all = 0;
    for (const ControlInfo &c : ListControls(window_, true)) {
        EXPECT_TRUE(c.visible);
        if (c.id == IDC_PAGE_TEXT) {
            ++shown;
            EXPECT_EQ(c.text, L"second page");
            EXPECT_EQ(c.className, L"Static");
            EXPECT_NE(c.parent, window_) << "the static lives on a child page";
        }
    }
    for (const ControlInfo &c : ListControls(window_, false))
        if (c.id == IDC_PAGE_TEXT) ++all;
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(all, 2);
    const std::wstring described = DescribeControls(window_, false);
    EXPECT_NE(described.find(L"1011 Static \"first page\" hidden"), std::wstring::npos)
        << described.c_str();
}

TEST_F(SampleTest, TheProcessEndsWithTheDialogsResult) {
    EXPECT_TRUE(sample_.Running());
    EXPECT_FALSE(WaitProcessEnd(sample_.Id(), 100));
    ASSERT_TRUE(Click(window_, IDOK));
    EXPECT_TRUE(WaitWindowGone(window_));
    ASSERT_TRUE(sample_.Wait());
    EXPECT_EQ(sample_.ExitCode(), static_cast<DWORD>(SAMPLE_DONE_EXIT_CODE));
    EXPECT_TRUE(WaitProcessEnd(sample_.Id(), 100));
}

// Runs windriver.exe with `args`; returns its exit status and its output.
DWORD RunTool(const std::wstring &args, std::string &out) {
    return windriver::RunCaptured(windriver::QuoteArgument(g_windriverExe) + L" " + args, out, 30000);
}

TEST_F(SampleTest, TheCommandDrivesTheSameWindows) {
    ASSERT_FALSE(g_windriverExe.empty()) << "pass the path of windriver.exe";
    const std::wstring sample = L" --title \"Driver Sample\" --pid " + std::to_wstring(sample_.Id());
    std::string out;
    EXPECT_EQ(RunTool(L"find" + sample, out), 0u) << out;
    EXPECT_NE(out.find("#32770 \"Driver Sample\""), std::string::npos) << out;

    EXPECT_EQ(RunTool(L"text 1002" + sample, out), 0u) << out;
    EXPECT_EQ(out, "presses: 0\n");
    EXPECT_EQ(RunTool(L"click 1001" + sample, out), 0u) << out;
    EXPECT_EQ(RunTool(L"wait 1005 --enabled" + sample, out), 0u) << out;
    EXPECT_EQ(RunTool(L"settext 1006 \"a b\"" + sample, out), 0u) << out;
    EXPECT_TRUE(WaitText(window_, IDC_TYPED, L"typed: a b"));

    EXPECT_EQ(RunTool(L"rows 1008" + sample, out), 0u) << out;
    EXPECT_EQ(out, "[ ]\tViewer\t1.0\n[x]\tPlayer\t2.1\n[ ]\t\xED\x95\x9C\xEA\xB8\x80\t3\n");
    EXPECT_EQ(RunTool(L"check 1008 0 on --click" + sample, out), 0u) << out;
    EXPECT_TRUE(WaitText(window_, IDC_CLICKS, L"clicks: 1"));
    EXPECT_EQ(RunTool(L"check 1008 1 off" + sample, out), 0u) << out;
    EXPECT_FALSE(Rows()[1].checked);

    EXPECT_EQ(RunTool(L"click 1003" + sample, out), 0u) << out;
    EXPECT_EQ(RunTool(L"msgbox --expect \"the sample\" --answer yes --title \"Driver Sample Question\"",
                      out), 0u) << out;
    EXPECT_EQ(out, "Keep the sample open?\n");
    EXPECT_TRUE(WaitText(window_, IDC_ANSWER, L"answer: yes"));

    EXPECT_EQ(RunTool(L"checked 1013" + sample, out), 0u) << out;
    EXPECT_EQ(out, "0\n");
    EXPECT_EQ(RunTool(L"progress 1014" + sample, out), 0u) << out;
    EXPECT_EQ(out, "25 0 100\n");

    EXPECT_EQ(RunTool(L"controls" + sample, out), 0u) << out;
    EXPECT_NE(out.find("1004 Static \"answer: yes\""), std::string::npos) << out;

    // Failures: a control that never shows, a window that does not exist, bad usage.
    EXPECT_EQ(RunTool(L"wait 4242 --timeout 200" + sample, out), 1u) << out;
    EXPECT_NE(out.find("control 4242"), std::string::npos) << out;
    EXPECT_EQ(RunTool(L"find --title Nowhere --timeout 200", out), 1u) << out;
    EXPECT_EQ(RunTool(L"check 1008 0 maybe" + sample, out), 2u) << out;
    EXPECT_EQ(RunTool(L"jump", out), 2u) << out;
    EXPECT_EQ(RunTool(L"click" + sample, out), 2u) << out;

    EXPECT_EQ(RunTool(L"gone --timeout 200" + sample, out), 1u) << out;
    EXPECT_EQ(RunTool(L"click 1" + sample, out), 0u) << out;
    EXPECT_EQ(RunTool(L"gone" + sample, out), 0u) << out;
    ASSERT_TRUE(sample_.Wait());
}

TEST_F(SampleTest, AScreenshotOfTheDisplayIsWritten) {
    CreateDirectoryW(L"screenshots", nullptr);
    const std::wstring path = L"screenshots\\driver_sample.png";
    ASSERT_TRUE(TakeScreenshot(path)) << "is xwd or convert missing?";
    std::ifstream png(path.c_str(), std::ios::binary);
    char signature[8] = {};
    png.read(signature, 8);
    EXPECT_EQ(std::string(signature, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc > 1) g_windriverExe = WindowsPath(argv[1]);
    return RUN_ALL_TESTS();
}
