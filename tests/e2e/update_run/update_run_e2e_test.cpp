// Tessel updating a simulated marbo K4 under Wine from the sample update server,
// driven through its windows: the tree of make_update_tree.py, every component
// ticked, Start Install, the log of every package, Complete; then the files,
// the shortcut, the recorded versions and the installers' order; and a second
// start that finds nothing left to update.
//   update_run_e2e_test TESSEL_EXE [gtest flags]
// TESSEL_FTP_STATE names the server's state folder (a Unix path: tree/ is
// served, faults.json read at every transfer); TESSEL_EXPECT_MSI=1
// when it holds Notes.msi; TESSEL_EXPECT_LANGUAGE=ko on a Korean system.
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/driver/polling.h"
#include "tests/driver/window_driver.h"
#include "tests/e2e/tessel/tessel_process_win.h"
#include "tests/harness/shell_link_reader_win.h"

namespace {

std::string g_tesselExe;

const wchar_t kProgramFolder[] = L"C:\\Program Files\\Tessel";
const wchar_t kProgramFiles[] = L"C:\\Program Files";
const wchar_t kStandinLog[] = L"C:\\standin.log";
const wchar_t kVersionKey[] = L"SOFTWARE\\Parvoni\\";


// Searching the catalogue and running every installer under Wine.
constexpr DWORD kSearchMs = 120000;
constexpr DWORD kRunMs = 240000;

bool ExpectMsi() {
    const char *msi = std::getenv("TESSEL_EXPECT_MSI");
    return msi && std::string(msi) == "1";
}

std::wstring DownloadLine(const std::wstring &file) {
    return ExpectKorean() ? L"  - \"" + file + L"\" 파일을 다운로드 중입니다.\r\n"
                    : L"  - Downloading \"" + file + L"\" file.\r\n";
}

std::wstring InstallLine(const std::wstring &file) {
    return ExpectKorean() ? L"  - \"" + file + L"\" 파일을 설치 중입니다.\r\n"
                    : L"  - Installing \"" + file + L"\" file.\r\n";
}

std::wstring CompleteText() {
    return ExpectKorean() ? L"모든 파일의 설치가 완료되었습니다." : L"Installation of all files is complete.";
}

// The stand-in installers' lines so far (C:\standin.log, UTF-8).
std::vector<std::string> StandinLines() {
    std::vector<std::string> lines;
    HANDLE file = CreateFileW(kStandinLog, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return lines;
    std::string text(1 << 16, '\0');
    DWORD read = 0;
    ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    text.resize(read);
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// A file of the server's state folder, as this program sees it.
std::wstring StateFile(const std::wstring &relative) {
    return WindowsPathOfUnix(EnvironmentText(L"TESSEL_FTP_STATE") + L"/" + relative);
}

void WriteFaults(const std::string &json) {
    HANDLE file = CreateFileW(StateFile(L"faults.json").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, json.data(), static_cast<DWORD>(json.size()), &written, nullptr);
    CloseHandle(file);
}

// A file of the served secondary tree.
std::wstring ServedFile(const std::wstring &relative) {
    return StateFile(L"tree/secondary/[MID]/marbo K4/" + relative);
}

std::wstring Version(const std::wstring &component) {
    std::wstring version;
    return ReadMachineString(kVersionKey + component, L"version", version) ? version : L"-";
}

std::wstring CommonDesktop() {
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_COMMON_DESKTOPDIRECTORY, nullptr, 0, path);
    return path;
}

class UpdateRunTest : public testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t *component : {L"Driver", L"Viewer", L"Notes", L"marboDMB"})
            DeleteMachineKey(kVersionKey + std::wstring(component));
        DeleteFileW(kStandinLog);
        install = std::make_unique<TesselInstall>(g_tesselExe, kProgramFolder);
        ASSERT_TRUE(install->Installed());
    }

    // Starts Tessel and waits for the selection page with its rows.
    void RunDmbUpdateWhilePlayerRuns(bool withTray, const std::vector<std::string> &expected);
    HWND StartToSelection(std::unique_ptr<windriver::Process> &tessel, HWND &page) {
        tessel = install->Start();
        if (!tessel) return nullptr;
        HWND window = WaitMainWindow(tessel->Id());
        if (!window) return nullptr;
        windriver::PollUntil([&] { return (page = VisiblePageWith(window, kCheckAll)) != nullptr; },
                             kSearchMs);
        return window;
    }

    // Ticks the rows named `names` on the selection page and clears every other;
    // how many rows it ticked (-1 when a check box could not be set).
    static int TickOnly(HWND select, std::initializer_list<std::wstring> names) {
        std::vector<windriver::ListRow> rows;
        if (!windriver::ReadListRows(GetDlgItem(select, kList), rows)) return -1;
        int ticked = 0;
        for (size_t row = 0; row < rows.size(); ++row) {
            bool keep = false;
            for (const std::wstring &name : names) keep = keep || rows[row].cells[0] == name;
            if (!windriver::SetListCheck(GetDlgItem(select, kList), static_cast<int>(row), keep)) return -1;
            ticked += keep ? 1 : 0;
        }
        return ticked;
    }

    std::unique_ptr<TesselInstall> install;
};

TEST_F(UpdateRunTest, InstallsEveryTickedComponentAndThenFindsNothingNewer) {
    std::unique_ptr<windriver::Process> tessel;
    HWND select = nullptr;
    HWND window = StartToSelection(tessel, select);
    ASSERT_TRUE(window);
    ASSERT_TRUE(select) << windriver::DescribeControls(window);

    // Drivers first, then the setup root; nothing installed yet, so all ticked.
    std::vector<windriver::ListRow> rows;
    ASSERT_TRUE(windriver::ReadListRows(GetDlgItem(select, kList), rows));
    std::vector<std::vector<std::wstring>> expected = {{L"Driver", L"-", L"1.0.1"}};
    if (ExpectMsi()) expected.push_back({L"Notes", L"-", L"1.0"});
    expected.push_back({L"Viewer", L"-", L"2.0"});
    expected.push_back({L"marboDMB", L"-", L"1.0.4"});
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].cells, expected[i]) << "row " << i;
        EXPECT_TRUE(rows[i].checked) << "row " << i;
    }

    ASSERT_TRUE(windriver::Click(select, kStartInstall));
    HWND progress = nullptr;
    ASSERT_TRUE(windriver::PollUntil(
        [&] { return (progress = VisiblePageWith(window, kLog)) != nullptr; }, 10000));

    // While Driver.zip's Setup.exe has left dpinst.exe running the page waits,
    // and the window refuses to close.
    ASSERT_TRUE(windriver::PollUntil(
        [&] {
            for (const std::string &line : StandinLines())
                if (line.rfind("dpinst.exe start", 0) == 0) return true;
            return false;
        },
        kRunMs))
        << "dpinst.exe never started";
    PostMessageW(window, WM_CLOSE, 0, 0);
    Sleep(1000);
    EXPECT_TRUE(IsWindow(window)) << "the window closed while an installer ran";
    EXPECT_EQ(windriver::Text(GetDlgItem(progress, kLog)).find(L"Patch.exe"), std::wstring::npos)
        << "Patch.exe came before dpinst.exe ended";

    std::wstring heading;
    ASSERT_TRUE(windriver::WaitText(progress, kHeading, CompleteText(), &heading, kRunMs))
        << "heading: " << heading << "\nlog:\n" << windriver::Text(GetDlgItem(progress, kLog));

    std::wstring log = L"Driver 1.0.1\r\n" + DownloadLine(L"Driver.zip") + InstallLine(L"Driver.zip") +
                       DownloadLine(L"Patch.exe") + InstallLine(L"Patch.exe");
    if (ExpectMsi())
        log += L"Notes 1.0\r\n" + DownloadLine(L"Notes.msi") + InstallLine(L"Notes.msi");
    log += L"Viewer 2.0\r\n" + DownloadLine(L"Viewer.zip") + InstallLine(L"Viewer.zip") +
           L"marboDMB 1.0.4\r\n" + DownloadLine(L"marboDMB.zip") + InstallLine(L"marboDMB.zip") +
           CompleteText() + L"\r\n";
    EXPECT_EQ(windriver::Text(GetDlgItem(progress, kLog)), log);
    EXPECT_TRUE(windriver::IsShown(GetDlgItem(progress, kComplete)));
    EXPECT_FALSE(windriver::IsShown(GetDlgItem(progress, kCancel)));
    for (int bar : {kDownloadBar, kExtractBar}) {
        int position = -1, low = 0, high = 0;
        EXPECT_TRUE(windriver::ProgressPosition(GetDlgItem(progress, bar), position, low, high));
        EXPECT_EQ(position, 100) << "bar " << bar;
    }

    // Setup.exe, then dpinst.exe to its end, then Patch.exe; the version of
    // Driver is recorded only after Patch.exe, its row's last package.
    const std::vector<std::string> installers = StandinLines();
    EXPECT_EQ(installers, (std::vector<std::string>{"Setup.exe start Driver=-",
                                                     "dpinst.exe start Driver=-",
                                                     "dpinst.exe end",
                                                     "Patch.exe start Driver=-"}));
    EXPECT_TRUE(Exists(std::wstring(kProgramFiles) + L"\\marboDMB\\channels.txt"));
    EXPECT_EQ(Version(L"marboDMB"), L"1.0.4");
    const std::wstring driver = std::wstring(kProgramFiles) + L"\\Driver\\";
    for (const wchar_t *file : {L"Setup.exe", L"dpinst.exe", L"Driver.exe", L"inf\\driver.inf"})
        EXPECT_TRUE(Exists(driver + file)) << file;
    EXPECT_EQ(Version(L"Driver"), L"1.0.1");

    // A ZIP without a setup: unpacked, and a desktop shortcut for all users.
    const std::wstring viewer = std::wstring(kProgramFiles) + L"\\Viewer";
    EXPECT_TRUE(Exists(viewer + L"\\Viewer.exe"));
    EXPECT_TRUE(Exists(viewer + L"\\readme.txt"));
    ShellLinkFields link;
    ASSERT_TRUE(ReadShellLink(CommonDesktop() + L"\\Viewer.lnk", link));
    EXPECT_EQ(link.target, viewer + L"\\Viewer.exe");
    EXPECT_EQ(link.workingFolder, viewer);
    EXPECT_EQ(link.description, L"Viewer");
    EXPECT_EQ(Version(L"Viewer"), L"2.0");

    if (ExpectMsi()) {
        EXPECT_TRUE(Exists(std::wstring(kProgramFiles) + L"\\Notes\\Notes.exe") &&
                    Exists(std::wstring(kProgramFiles) + L"\\Notes\\notes.txt"))
            << "Windows Installer did not install Notes.msi";
        EXPECT_EQ(Version(L"Notes"), L"1.0");
    }

    ASSERT_TRUE(windriver::Click(progress, kComplete));
    ASSERT_TRUE(tessel->Wait(20000));
    EXPECT_FALSE(Exists(install->TempFolder()));

    // Started again, it offers the same components, none newer than installed.
    select = nullptr;
    window = StartToSelection(tessel, select);
    ASSERT_TRUE(window);
    ASSERT_TRUE(select);
    rows.clear();
    ASSERT_TRUE(windriver::ReadListRows(GetDlgItem(select, kList), rows));
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].cells[1], rows[i].cells[2]) << "row " << i;
        EXPECT_FALSE(rows[i].checked) << "row " << i;
    }
    ASSERT_TRUE(windriver::Click(select, kCancel));
    EXPECT_TRUE(tessel->Wait(20000));
}

// The stand-in notification area (tray_chain_host.exe LOG): its path comes as a
// Unix path in TESSEL_TRAY_HOST.
std::wstring TrayHostCommand() {
    return L"\"" + WindowsPathOfUnix(EnvironmentText(L"TESSEL_TRAY_HOST")) + L"\" " + kStandinLog;
}

// marboDMB.zip while the DMB player runs: the player is ended for the package
// and started again from its new files. With a notification area that holds its
// icons, the icons are deleted and its process ended; without one, its window is
// asked to close.
void UpdateRunTest::RunDmbUpdateWhilePlayerRuns(bool withTray, const std::vector<std::string> &expected) {
    windriver::Process tray;
    if (withTray) {
        ASSERT_TRUE(tray.Start(TrayHostCommand()));
        ASSERT_TRUE(windriver::PollUntil([] { return FindWindowW(L"Shell_TrayWnd", L"TesselTestTray"); },
                                         30000))
            << "the stand-in notification area did not start";
    }
    const std::wstring player = std::wstring(kProgramFiles) + L"\\marboDMB\\dmbplayer.exe";
    ASSERT_TRUE(WriteFileWithFolders(player, ""));
    ASSERT_TRUE(CopyFileW(ServedFile(L"[common2]/Drivers_1/Driver/Win7/1.0.1/Patch.exe").c_str(),
                          player.c_str(), FALSE));
    windriver::Process oldPlayer;
    ASSERT_TRUE(oldPlayer.Start(L"\"" + player + L"\""));
    ASSERT_TRUE(windriver::PollUntil([] { return FindWindowW(L"marboDMB", nullptr) != nullptr; }, 60000))
        << "the old player did not start";

    std::unique_ptr<windriver::Process> tessel;
    HWND select = nullptr;
    HWND window = StartToSelection(tessel, select);
    ASSERT_TRUE(window);
    ASSERT_TRUE(select);
    ASSERT_EQ(TickOnly(select, {L"marboDMB"}), 1);
    ASSERT_TRUE(windriver::Click(select, kStartInstall));
    HWND progress = nullptr;
    ASSERT_TRUE(windriver::PollUntil(
        [&] { return (progress = VisiblePageWith(window, kLog)) != nullptr; }, 10000));
    std::wstring heading;
    ASSERT_TRUE(windriver::WaitText(progress, kHeading, CompleteText(), &heading, kRunMs)) << heading;

    // The new player is started without waiting: it may still be on its way.
    windriver::PollUntil([&] { return StandinLines().size() >= expected.size(); }, 30000);
    EXPECT_EQ(StandinLines(), expected);
    EXPECT_TRUE(oldPlayer.Wait(0)) << "the old player still runs";
    HWND restarted = nullptr;
    windriver::PollUntil([&] { return (restarted = FindWindowW(L"marboDMB", nullptr)) != nullptr; },
                         30000);
    EXPECT_TRUE(restarted) << "the player was not started again";
    if (restarted) {
        // Closed before the next test starts its log afresh.
        PostMessageW(restarted, WM_CLOSE, 0, 0);
        EXPECT_TRUE(windriver::WaitWindowGone(restarted, 10000));
    }
    EXPECT_EQ(Version(L"marboDMB"), L"1.0.4");
    ASSERT_TRUE(windriver::Click(progress, kComplete));
    EXPECT_TRUE(tessel->Wait(20000));
}

TEST_F(UpdateRunTest, RunningDmbPlayerIsClosedAndStartedAgain) {
    RunDmbUpdateWhilePlayerRuns(false, {"dmbplayer.exe start Driver=-", "dmbplayer.exe closed",
                                        "dmbplayer.exe start Driver=-"});
}

TEST_F(UpdateRunTest, DmbPlayersTrayIconsAreRemovedAndItsProcessEnded) {
    RunDmbUpdateWhilePlayerRuns(true, {"dmbplayer.exe start Driver=-", "tray add 1", "tray add 2008",
                                       "tray delete 1", "tray delete 2008",
                                       "dmbplayer.exe start Driver=-", "tray add 1", "tray add 2008"});
}

// Notes.msi vanishes from the server after the search: the run installs and
// records Driver, fails on Notes with the server's error as heading and last log
// line, and never starts Viewer.
TEST_F(UpdateRunTest, DownloadFailureOnTheSecondComponentEndsTheRun) {
    if (!ExpectMsi()) GTEST_SKIP() << "no Notes.msi in the tree (wixl missing)";
    std::unique_ptr<windriver::Process> tessel;
    HWND select = nullptr;
    HWND window = StartToSelection(tessel, select);
    ASSERT_TRUE(window);
    ASSERT_TRUE(select);
    const std::wstring served = ServedFile(L"9HK4/Setup/Notes/1.0/Notes.msi");
    const std::wstring aside = served + L".aside";
    ASSERT_TRUE(MoveFileW(served.c_str(), aside.c_str()));
    struct Restore {
        std::wstring from, to;
        ~Restore() { MoveFileW(from.c_str(), to.c_str()); }
    } restore{aside, served};

    ASSERT_TRUE(windriver::Click(select, kStartInstall));
    HWND progress = nullptr;
    ASSERT_TRUE(windriver::PollUntil(
        [&] { return (progress = VisiblePageWith(window, kLog)) != nullptr; }, 10000));
    const std::wstring error = ExpectKorean() ? L"서버의 파일을 열 수 없습니다." : L"Cannot open the file in the server.";
    std::wstring heading;
    ASSERT_TRUE(windriver::WaitText(progress, kHeading, error, &heading, kRunMs))
        << "heading: " << heading << "\nlog:\n" << windriver::Text(GetDlgItem(progress, kLog));
    Sleep(1000);  // nothing more may follow

    const std::wstring log = L"Driver 1.0.1\r\n" + DownloadLine(L"Driver.zip") +
                             InstallLine(L"Driver.zip") + DownloadLine(L"Patch.exe") +
                             InstallLine(L"Patch.exe") + L"Notes 1.0\r\n" +
                             DownloadLine(L"Notes.msi") + error + L"\r\n";
    EXPECT_EQ(windriver::Text(GetDlgItem(progress, kLog)), log);
    EXPECT_EQ(windriver::Text(GetDlgItem(progress, kHeading)), error);
    EXPECT_EQ(Version(L"Driver"), L"1.0.1");
    EXPECT_EQ(Version(L"Notes"), L"-");
    EXPECT_EQ(Version(L"Viewer"), L"-");
    EXPECT_FALSE(windriver::IsShown(GetDlgItem(progress, kComplete)));
    ASSERT_TRUE(windriver::IsShown(GetDlgItem(progress, kCancel)));

    ASSERT_TRUE(windriver::Click(progress, kCancel));
    EXPECT_TRUE(tessel->Wait(20000));
}

// Cancel while a package downloads (the server stalls) and while one unpacks (a
// 200 MB entry): the program ends, so no worker thread was left behind, and
// nothing is recorded.
TEST_F(UpdateRunTest, CancelDuringDownloadAndDuringUnpackingEndsTheProgram) {
    for (const bool download : {true, false}) {
        SCOPED_TRACE(download ? "download" : "unpacking");
        WriteFaults(download ? R"({"Driver.zip": {"stall_after": 65536, "stall_seconds": 20}})" : "{}");
        const std::wstring served = ServedFile(L"9HK4/Setup/Viewer/2.0/Viewer.zip");
        if (!download) {
            // Only Viewer, with its large entry.
            ASSERT_TRUE(MoveFileW(served.c_str(), (served + L".small").c_str()));
            ASSERT_TRUE(CopyFileW(StateFile(L"tree/aside/Viewer.zip").c_str(), served.c_str(), FALSE));
        }
        struct Restore {
            std::wstring served;
            bool swapped;
            ~Restore() {
                WriteFaults("{}");
                if (!swapped) return;
                DeleteFileW(served.c_str());
                MoveFileW((served + L".small").c_str(), served.c_str());
            }
        } restore{served, !download};

        std::unique_ptr<windriver::Process> tessel;
        HWND select = nullptr;
        HWND window = StartToSelection(tessel, select);
        ASSERT_TRUE(window);
        ASSERT_TRUE(select);
        if (!download) {
            ASSERT_EQ(TickOnly(select, {L"Viewer"}), 1);
        }
        ASSERT_TRUE(windriver::Click(select, kStartInstall));
        HWND progress = nullptr;
        ASSERT_TRUE(windriver::PollUntil(
            [&] { return (progress = VisiblePageWith(window, kLog)) != nullptr; }, 10000));
        if (download) {
            // The server falls silent after 64 KiB; Cancel well before the read times out.
            ASSERT_TRUE(windriver::PollUntil(
                [&] {
                    return windriver::Text(GetDlgItem(progress, kLog)).find(DownloadLine(L"Driver.zip")) !=
                           std::wstring::npos;
                },
                kRunMs));
            Sleep(2000);
        } else {
            int position = 0, low = 0, high = 0;
            ASSERT_TRUE(windriver::PollUntil(
                [&] {
                    return windriver::ProgressPosition(GetDlgItem(progress, kExtractBar), position,
                                                       low, high) &&
                           position > 0 && position < 100;
                },
                kRunMs))
                << "unpacking bar at " << position << "\nlog:\n"
                << windriver::Text(GetDlgItem(progress, kLog));
        }
        EXPECT_EQ(windriver::Text(GetDlgItem(progress, kHeading)).find(L"[1 / "), 0u)
            << "the run ended before Cancel";
        ASSERT_TRUE(windriver::Click(progress, kCancel));
        // A read the server left hanging returns only when the server gives up
        // (20 s) or the receive time-out passes: Stop waits for it.
        EXPECT_TRUE(tessel->Wait(download ? 45000 : 15000)) << "the program did not end";
        for (const wchar_t *component : {L"Driver", L"Viewer"})
            EXPECT_EQ(Version(component), L"-") << component;
    }
}

// --- runs with no one at the keyboard ---

const wchar_t kRunLog[] = L"C:\\ProgramData\\Parvoni\\Tessel\\Tessel.log";

std::string ReadRunLog() {
    std::string text;
    HANDLE file = CreateFileW(kRunLog, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    text.resize(1 << 20);
    DWORD read = 0;
    ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    text.resize(read);
    return text;
}

struct WindowSearch {
    DWORD processId;
    bool found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM data) {
    auto *search = reinterpret_cast<WindowSearch *>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) search->found = true;
    return !search->found;
}

bool HasVisibleWindow(DWORD processId) {
    WindowSearch search{processId, false};
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs Tessel with `option` to its end, checking every 100 ms that it shows no
// window; its exit code (or STILL_ACTIVE when it did not end in time).
DWORD RunWithoutWindow(TesselInstall &install, const std::wstring &option, bool &windowSeen) {
    windowSeen = false;
    std::unique_ptr<windriver::Process> tessel = install.Start(option);
    if (!tessel) return STILL_ACTIVE;
    for (const DWORD start = GetTickCount(); tessel->Running() && GetTickCount() - start < kRunMs; Sleep(100))
        windowSeen = windowSeen || HasVisibleWindow(tessel->Id());
    tessel->Wait(1000);
    return tessel->ExitCode();
}

// "/list" reports, "/unattended" installs every newer component as the pages
// would (files, versions, shortcut, MSI quietly, the installers' order) without
// showing a window, and a second "/unattended" finds nothing to do. Each run
// leaves its lines in the log with the device.
TEST_F(UpdateRunTest, UnattendedRunInstallsEveryNewerComponentWithoutAWindow) {
    DeleteFileW(kRunLog);
    std::string listed;
    const DWORD listCode = windriver::RunCaptured(L"\"" + install->ExePath() + L"\" /list", listed, kRunMs);
    EXPECT_EQ(listCode, 0u) << listed;
    EXPECT_NE(listed.find("Driver: installed -, offered 1.0.1 (newer)"), std::string::npos) << listed;
    EXPECT_NE(listed.find("Viewer: installed -, offered 2.0 (newer)"), std::string::npos) << listed;
    EXPECT_NE(listed.find("[MID marbo K4 EX "), std::string::npos) << listed;
    EXPECT_EQ(Version(L"Driver"), L"-") << "a list installs nothing";
    EXPECT_TRUE(StandinLines().empty());

    bool windowSeen = true;
    EXPECT_EQ(RunWithoutWindow(*install, L"/unattended", windowSeen), 0u) << ReadRunLog();
    EXPECT_FALSE(windowSeen);

    EXPECT_EQ(StandinLines(), (std::vector<std::string>{"Setup.exe start Driver=-",
                                                         "dpinst.exe start Driver=-",
                                                         "dpinst.exe end",
                                                         "Patch.exe start Driver=-"}));
    EXPECT_EQ(Version(L"Driver"), L"1.0.1");
    EXPECT_EQ(Version(L"Viewer"), L"2.0");
    EXPECT_EQ(Version(L"marboDMB"), L"1.0.4");
    EXPECT_TRUE(Exists(std::wstring(kProgramFiles) + L"\\Driver\\inf\\driver.inf"));
    ShellLinkFields link;
    EXPECT_TRUE(ReadShellLink(CommonDesktop() + L"\\Viewer.lnk", link));
    if (ExpectMsi()) {
        EXPECT_TRUE(Exists(std::wstring(kProgramFiles) + L"\\Notes\\Notes.exe"))
            << "Windows Installer did not install Notes.msi quietly";
        EXPECT_EQ(Version(L"Notes"), L"1.0");
    }
    const std::string log = ReadRunLog();
    for (const char *line : {"Listing the update catalogue.", "Unattended update started.",
                             "] Driver 1.0.1\r\n", "  - Installing \"Patch.exe\" file.",
                             "Installation of all files is complete."})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;

    EXPECT_EQ(RunWithoutWindow(*install, L"/unattended", windowSeen), 0u);
    EXPECT_FALSE(windowSeen);
    EXPECT_NE(ReadRunLog().find("Nothing to update."), std::string::npos);
    EXPECT_EQ(StandinLines().size(), 4u) << "nothing ran again";
}

// A package that cannot be unpacked fails its row: the rows before it stay
// recorded, it and the rows after it are not, and the exit code says so.
TEST_F(UpdateRunTest, UnattendedRunWithADamagedPackageExitsOne) {
    const std::wstring served = ServedFile(L"9HK4/Setup/Viewer/2.0/Viewer.zip");
    ASSERT_TRUE(MoveFileW(served.c_str(), (served + L".good").c_str()));
    struct Restore {
        std::wstring served;
        ~Restore() {
            DeleteFileW(served.c_str());
            MoveFileW((served + L".good").c_str(), served.c_str());
        }
    } restore{served};
    ASSERT_TRUE(WriteFileWithFolders(served, "PK\x03\x04 this is no archive"));

    bool windowSeen = true;
    EXPECT_EQ(RunWithoutWindow(*install, L"/unattended", windowSeen), 1u) << ReadRunLog();
    EXPECT_FALSE(windowSeen);
    EXPECT_EQ(Version(L"Driver"), L"1.0.1");
    EXPECT_EQ(Version(L"Viewer"), L"-");
    EXPECT_EQ(Version(L"marboDMB"), L"-");
    EXPECT_NE(ReadRunLog().find("Cannot open installation files."), std::string::npos) << ReadRunLog();
}

// While a Tessel runs, an unattended start ends at once with its own code.
TEST_F(UpdateRunTest, UnattendedStartWhileAnotherRunsExitsThree) {
    std::unique_ptr<windriver::Process> first;
    HWND select = nullptr;
    HWND window = StartToSelection(first, select);
    ASSERT_TRUE(window);
    bool windowSeen = true;
    EXPECT_EQ(RunWithoutWindow(*install, L"/unattended", windowSeen), 3u);
    EXPECT_FALSE(windowSeen);
    EXPECT_NE(ReadRunLog().find("Another Tessel is running"), std::string::npos);
    EXPECT_EQ(Version(L"Driver"), L"-");
    ASSERT_TRUE(windriver::Click(select, kCancel));
    EXPECT_TRUE(first->Wait(20000));
}

// --- signed mode: TesselSigned.exe carries the sample release key ---

std::wstring NotSignedText() {
    return ExpectKorean() ? L"업데이트 목록이 제조사의 서명과 맞지 않아 업데이트를 제공할 수 없습니다."
                          : L"The update list does not carry the maker's signature: no updates can be offered.";
}

std::wstring TamperedText(const std::wstring &file) {
    return ExpectKorean() ? L"\"" + file + L"\" 파일이 제조사가 서명한 파일과 다르므로 설치하지 않았습니다."
                          : L"\"" + file + L"\" is not the file the maker signed: it was not installed.";
}

bool ReadBytes(const std::wstring &path, std::string &bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.assign(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    const bool ok = ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
    CloseHandle(file);
    return ok;
}

bool WriteBytes(const std::wstring &path, const std::string &bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

// A served file changed for one scenario and put back afterwards.
class ServedChange {
public:
    explicit ServedChange(std::wstring path) : path_(std::move(path)) { saved_ = ReadBytes(path_, original_); }
    ~ServedChange() {
        if (saved_) WriteBytes(path_, original_);
    }
    bool Saved() const { return saved_; }
    const std::string &Original() const { return original_; }

private:
    std::wstring path_;
    std::string original_;
    bool saved_ = false;
};

void RemoveFolderTree(const std::wstring &folder) {
    std::wstring from = folder + L'\0';  // double-terminated
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationW(&operation);
}

class SignedUpdateTest : public UpdateRunTest {
protected:
    void SetUp() override {
        UpdateRunTest::SetUp();
        const std::wstring signedExe = EnvironmentText(L"TESSEL_SIGNED_EXE");
        if (signedExe.empty()) GTEST_SKIP() << "no signed-mode Tessel given";
        install = std::make_unique<TesselInstall>(std::string(signedExe.begin(), signedExe.end()), kProgramFolder);
        ASSERT_TRUE(install->Installed());
        // Each scenario starts from a device that has trusted no index yet.
        DeleteMachineKey(L"SOFTWARE\\Parvoni\\TesselMID\\ReleaseSerials");
        for (const wchar_t *folder : {L"Driver", L"Viewer", L"marboDMB", L"Notes"})
            RemoveFolderTree(std::wstring(kProgramFiles) + L"\\" + folder);
    }

    // Starts the signed Tessel and waits for the search page to say the
    // catalogue is not signed; false when the selection page came instead.
    bool SearchIsRefused(std::wstring &heading) {
        std::unique_ptr<windriver::Process> tessel = install->Start();
        if (!tessel) return false;
        HWND window = WaitMainWindow(tessel->Id());
        HWND search = nullptr;
        if (!window || !windriver::PollUntil([&] { return (search = VisiblePageWith(window, kHeading)) != nullptr; },
                                             kSearchMs))
            return false;
        const bool refused = windriver::WaitText(search, kHeading, NotSignedText(), &heading, kSearchMs);
        EXPECT_FALSE(VisiblePageWith(window, kCheckAll));
        windriver::Click(search, kCancel);
        EXPECT_TRUE(tessel->Wait(20000));
        return refused;
    }
};

// The whole update from the signed tree, with one byte of Viewer.zip changed on
// the server: that row fails with its text, nothing of it is unpacked or run,
// its version is not recorded, and the run ends there; with the byte put back
// an unattended run installs everything.
TEST_F(SignedUpdateTest, SignedTreeIsInstalledAndAChangedPackageRefused) {
    {
        ServedChange viewer(ServedFile(L"9HK4/Setup/Viewer/2.0/Viewer.zip"));
        ASSERT_TRUE(viewer.Saved());
        std::string changed = viewer.Original();
        changed[changed.size() / 2] ^= 0x01;
        ASSERT_TRUE(WriteBytes(ServedFile(L"9HK4/Setup/Viewer/2.0/Viewer.zip"), changed));

        std::unique_ptr<windriver::Process> tessel;
        HWND select = nullptr;
        HWND window = StartToSelection(tessel, select);
        ASSERT_TRUE(window);
        ASSERT_TRUE(select) << "the signed catalogue was not offered";
        ASSERT_TRUE(windriver::Click(select, kStartInstall));
        HWND progress = nullptr;
        ASSERT_TRUE(windriver::PollUntil([&] { return (progress = VisiblePageWith(window, kLog)) != nullptr; }, 10000));
        std::wstring heading;
        ASSERT_TRUE(windriver::WaitText(progress, kHeading, TamperedText(L"Viewer.zip"), &heading, kRunMs))
            << "heading: " << heading << "\nlog:\n" << windriver::Text(GetDlgItem(progress, kLog));
        Sleep(1000);  // nothing more may follow
        EXPECT_EQ(Version(L"Driver"), L"1.0.1");
        EXPECT_EQ(Version(L"Viewer"), L"-");
        EXPECT_EQ(Version(L"marboDMB"), L"-");
        EXPECT_FALSE(Exists(std::wstring(kProgramFiles) + L"\\Viewer\\Viewer.exe")) << "the changed package was unpacked";
        EXPECT_FALSE(Exists(std::wstring(kProgramFiles) + L"\\marboDMB\\dmbplayer.exe"));
        ASSERT_TRUE(windriver::Click(progress, kCancel));
        EXPECT_TRUE(tessel->Wait(20000));
    }
    bool windowSeen = true;
    EXPECT_EQ(RunWithoutWindow(*install, L"/unattended", windowSeen), 0u) << ReadRunLog();
    EXPECT_EQ(Version(L"Viewer"), L"2.0");
    EXPECT_EQ(Version(L"marboDMB"), L"1.0.4");
    EXPECT_TRUE(Exists(std::wstring(kProgramFiles) + L"\\Viewer\\Viewer.exe"));
}

// No catalogue from an index that is changed, another model's, older than one
// already trusted, or missing: the search page says so, and nothing is offered.
TEST_F(SignedUpdateTest, ChangedForeignOlderOrMissingIndexOffersNothing) {
    const std::wstring index = StateFile(L"tree/secondary/[MID]/marbo K4.tessel-index");
    ServedChange served(index);
    ASSERT_TRUE(served.Saved());
    std::string bytes = served.Original();

    // The served index is trusted first: its serial (6) is remembered.
    {
        std::unique_ptr<windriver::Process> tessel;
        HWND select = nullptr;
        ASSERT_TRUE(StartToSelection(tessel, select));
        ASSERT_TRUE(select) << "the signed catalogue was not offered";
        ASSERT_TRUE(windriver::Click(select, kCancel));
        EXPECT_TRUE(tessel->Wait(20000));
    }

    std::string older, foreign;
    ASSERT_TRUE(ReadBytes(StateFile(L"tree/aside/serial5.tessel-index"), older));
    ASSERT_TRUE(ReadBytes(StateFile(L"tree/secondary/[MID]/marbo K9.tessel-index"), foreign));
    std::string changed = bytes;
    const size_t digit = changed.find(" file ") + 6;
    changed[digit] = changed[digit] == '1' ? '2' : '1';  // a file's size, one digit
    struct Case {
        const char *what;
        std::string served;
    } cases[] = {{"changed", changed}, {"another model's", foreign}, {"older", older}, {"missing", ""}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.served.empty())
            ASSERT_TRUE(DeleteFileW(index.c_str()));
        else
            ASSERT_TRUE(WriteBytes(index, c.served));
        std::wstring heading;
        EXPECT_TRUE(SearchIsRefused(heading)) << "heading: " << heading;
    }
    EXPECT_EQ(Version(L"Driver"), L"-");
}

// A setup package of this project in the catalogue (the demo's Player, built
// here with marbo-pack): the unattended run starts it with "/S", so it installs
// with no wizard waiting for a click, and the run goes on to record it. The
// package is served only for this case; its quiet uninstall clears up after it.
TEST_F(UpdateRunTest, UnattendedRunInstallsASetupPackageSilently) {
    const std::wstring pack = EnvironmentText(L"TESSEL_MARBO_PACK");
    const std::wstring description = EnvironmentText(L"TESSEL_PLAYER_PACKAGE");
    if (pack.empty() || description.empty()) GTEST_SKIP() << "no marbo-pack or player package given";
    const std::wstring work = L"C:\\player-package";
    ASSERT_TRUE(WriteFileWithFolders(work + L"\\files\\Player.exe", "stands in for the player"));
    ASSERT_TRUE(WriteFileWithFolders(work + L"\\files\\readme.txt", "marbo Player\r\n"));
    ASSERT_TRUE(CopyFileW(WindowsPathOfUnix(description).c_str(),
                          (work + L"\\player-package.txt").c_str(), FALSE));
    const std::wstring served = ServedFile(L"9HK4/Setup/Player/1.0/PlayerSetup.exe");
    const std::wstring version = served.substr(0, served.rfind(L'\\'));
    struct Unserve {
        std::wstring served, version;
        ~Unserve() {
            DeleteFileW(served.c_str());
            RemoveDirectoryW(version.c_str());
            RemoveDirectoryW(version.substr(0, version.rfind(L'\\')).c_str());
        }
    } unserve{served, version};
    ASSERT_TRUE(WriteFileWithFolders(served, ""));
    std::string packed;
    ASSERT_EQ(windriver::RunCaptured(L"\"" + WindowsPathOfUnix(pack) + L"\" build \"" + work +
                                         L"\\player-package.txt\" --program \"" +
                                         WindowsPathOfUnix(EnvironmentText(L"TESSEL_MARBO_SETUP")) +
                                         L"\" --output \"" + served + L"\"",
                                     packed),
              0u)
        << packed;

    bool windowSeen = true;
    EXPECT_EQ(RunWithoutWindow(*install, L"/unattended", windowSeen), 0u) << ReadRunLog();
    EXPECT_FALSE(windowSeen);
    EXPECT_NE(ReadRunLog().find("  - Installing \"PlayerSetup.exe\" file."), std::string::npos)
        << ReadRunLog();
    const std::wstring playerDir = std::wstring(kProgramFiles) + L"\\Player";
    EXPECT_TRUE(Exists(playerDir + L"\\Player.exe"));
    EXPECT_EQ(Version(L"Player"), L"1.0");
    const std::wstring uninstallKey =
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\marbo Player";
    std::wstring quiet;
    ASSERT_TRUE(ReadMachineString(uninstallKey, L"QuietUninstallString", quiet));
    EXPECT_EQ(quiet, L"\"" + playerDir + L"\\Uninstall.exe\" /S");

    // The first uninstaller hands over to its copy at once; the copy removes the rest.
    windriver::Process uninstall;
    ASSERT_TRUE(uninstall.Start(quiet));
    EXPECT_TRUE(uninstall.Wait(30000));
    EXPECT_EQ(uninstall.ExitCode(), 0u);
    std::wstring left;
    EXPECT_TRUE(windriver::PollUntil([&] { return !Exists(playerDir + L"\\Player.exe") &&
                                                  !ReadMachineString(uninstallKey, L"DisplayName", left); },
                                     30000));
    DeleteMachineKey(kVersionKey + std::wstring(L"Player"));
}

// No update server at all (a run of its own, without one): exit code 2.
TEST_F(UpdateRunTest, UnattendedRunWithoutAServerExitsTwo) {
    bool windowSeen = true;
    EXPECT_EQ(RunWithoutWindow(*install, L"/unattended", windowSeen), 2u) << ReadRunLog();
    EXPECT_FALSE(windowSeen);
    EXPECT_NE(ReadRunLog().find("Failed to connect to the server."), std::string::npos) << ReadRunLog();
}

// Two components from aside/listing served for one run: Hostile lists ..zip and
// ...zip (package names "." and "..", that is Program Files itself and C:\)
// beside Tool.zip; Writable.zip was made on Windows (host 0, attribute 0x20).
// Only Tool.zip of Hostile is offered, nothing lands outside a package's own
// folder, and the Windows-made file unpacks writable.
TEST_F(UpdateRunTest, HostileListedNamesStayOutAndWindowsMadeZipsUnpackWritable) {
    const std::wstring components[] = {L"Hostile", L"Writable"};
    struct Serve {
        std::wstring aside, served;
        ~Serve() {
            if (!served.empty()) MoveFileW(served.c_str(), aside.c_str());
        }
    } serve[2];
    for (int i = 0; i < 2; ++i) {
        DeleteMachineKey(kVersionKey + components[i]);
        serve[i].aside = StateFile(L"tree/aside/listing/" + components[i]);
        const std::wstring served = ServedFile(L"9HK4/Setup/" + components[i]);
        ASSERT_TRUE(MoveFileW(serve[i].aside.c_str(), served.c_str())) << GetLastError();
        serve[i].served = served;
    }
    const std::wstring programFiles = kProgramFiles;
    const std::wstring escaped[] = {programFiles + L"\\escaped-dot.txt", L"C:\\escaped-dotdot.txt"};

    std::unique_ptr<windriver::Process> tessel;
    HWND select = nullptr;
    HWND window = StartToSelection(tessel, select);
    ASSERT_TRUE(window);
    ASSERT_TRUE(select);
    ASSERT_EQ(TickOnly(select, {components[0], components[1]}), 2);
    ASSERT_TRUE(windriver::Click(select, kStartInstall));
    HWND progress = nullptr;
    ASSERT_TRUE(windriver::PollUntil(
        [&] { return (progress = VisiblePageWith(window, kLog)) != nullptr; }, 10000));
    std::wstring heading;
    ASSERT_TRUE(windriver::WaitText(progress, kHeading, CompleteText(), &heading, kRunMs))
        << "heading: " << heading << "\nlog:\n" << windriver::Text(GetDlgItem(progress, kLog));

    EXPECT_EQ(windriver::Text(GetDlgItem(progress, kLog)),
              L"Hostile 1.0\r\n" + DownloadLine(L"Tool.zip") + InstallLine(L"Tool.zip") +
                  L"Writable 1.0\r\n" + DownloadLine(L"Writable.zip") + InstallLine(L"Writable.zip") +
                  CompleteText() + L"\r\n");
    for (const std::wstring &file : escaped) EXPECT_FALSE(Exists(file)) << file;
    EXPECT_TRUE(Exists(programFiles + L"\\Tool\\tool.txt"));
    EXPECT_EQ(Version(L"Hostile"), L"1.0");

    const std::wstring data = programFiles + L"\\Writable\\data.txt";
    const DWORD attributes = GetFileAttributesW(data.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << "Writable.zip was not unpacked";
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_READONLY, 0u) << "attributes " << attributes;
    EXPECT_EQ(Version(L"Writable"), L"1.0");

    ASSERT_TRUE(windriver::Click(progress, kComplete));
    EXPECT_TRUE(tessel->Wait(20000));
    for (const std::wstring &component : components) DeleteMachineKey(kVersionKey + component);
}

// Broken.exe (served for one run) is no program: its row fails with the text
// that says so and its version is not recorded, so it is offered again.
TEST_F(UpdateRunTest, AnInstallerThatCannotBeStartedFailsItsRow) {
    DeleteMachineKey(kVersionKey + std::wstring(L"Broken"));
    struct Serve {
        std::wstring aside, served;
        ~Serve() { MoveFileW(served.c_str(), aside.c_str()); }
    } serve{StateFile(L"tree/aside/listing/Broken"), ServedFile(L"9HK4/Setup/Broken")};
    ASSERT_TRUE(MoveFileW(serve.aside.c_str(), serve.served.c_str())) << GetLastError();

    std::unique_ptr<windriver::Process> tessel;
    HWND select = nullptr;
    HWND window = StartToSelection(tessel, select);
    ASSERT_TRUE(window);
    ASSERT_TRUE(select);
    ASSERT_EQ(TickOnly(select, {L"Broken"}), 1);
    ASSERT_TRUE(windriver::Click(select, kStartInstall));
    HWND progress = nullptr;
    ASSERT_TRUE(windriver::PollUntil([&] { return (progress = VisiblePageWith(window, kLog)) != nullptr; }, 10000));
    const std::wstring failed = ExpectKorean() ? L"\"Broken.exe\" 파일을 실행할 수 없습니다."
                                               : L"\"Broken.exe\" could not be started.";
    std::wstring heading;
    ASSERT_TRUE(windriver::WaitText(progress, kHeading, failed, &heading, kRunMs))
        << "heading: " << heading << "\nlog:\n" << windriver::Text(GetDlgItem(progress, kLog));
    EXPECT_EQ(windriver::Text(GetDlgItem(progress, kLog)),
              L"Broken 1.0\r\n" + DownloadLine(L"Broken.exe") + InstallLine(L"Broken.exe") + failed + L"\r\n");
    EXPECT_EQ(Version(L"Broken"), L"-");
    EXPECT_FALSE(windriver::IsShown(GetDlgItem(progress, kComplete)));
    ASSERT_TRUE(windriver::Click(progress, kCancel));
    EXPECT_TRUE(tessel->Wait(20000));
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: update_run_e2e_test TESSEL_EXE [gtest flags]\n");
        return 2;
    }
    const std::wstring exe = argv[1];
    g_tesselExe.assign(exe.begin(), exe.end());
    return RUN_ALL_TESTS();
}
