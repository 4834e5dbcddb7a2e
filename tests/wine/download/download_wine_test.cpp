// CProgressFtp, CSliderFtp and the Download window against the sample update
// server that run.sh starts on 127.0.0.1 (port TESSEL_FTP_PORT), with the
// transfer faults of its faults.json.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "resource.h"
#include "tests/wine/download/download_host_win.h"
#include "tests/wine/ftp_access/server_log_win.h"
#include "updater/transfer/download_dlg_win.h"
#include "updater/transfer/progress_ftp_win.h"
#include "tests/harness/cross_thread_sends_win.h"
#include "updater/transfer/slider_ftp_win.h"

namespace {

const char kServerLog[] = "127.0.0.1";
const wchar_t kReadError[] = L"An error has occurred while downloading files.";

int TestPort() { return ServerPort(kFtpPort); }

std::wstring Remote(const std::wstring &folder, const std::wstring &name) {
    return L"127.0.0.1/" + folder + L"/" + name;
}

std::string ReadBytes(const std::wstring &path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Compared without printing the bytes.
testing::AssertionResult SameBytes(const std::wstring &a, const std::wstring &b) {
    const std::string x = ReadBytes(a), y = ReadBytes(b);
    if (x == y) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "sizes " << x.size() << " and " << y.size()
                                       << (x.size() == y.size() ? ", contents differ" : "");
}

bool Exists(const std::wstring &path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

int ThreadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL ok = Thread32First(snapshot, &entry); ok; ok = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snapshot);
    return count;
}

// Wine's WinInet ends some helper threads of its own a little after a
// transfer: the count is read once it has settled (our workers are joined).
int SettledThreadCount(int expected) {
    int count = ThreadCount();
    for (int i = 0; i < 100 && count > expected; ++i) {
        Sleep(20);
        count = ThreadCount();
    }
    return count;
}

int CountLines(const ServerLog &log, const std::string &text) {
    int n = 0;
    for (const std::string &line : log.LinesSinceMark())
        if (line.find(text) != std::string::npos) ++n;
    return n;
}

class DownloadTest : public testing::Test {
protected:
    // WinInet and Wine's window code start threads of their own with the first
    // transfer and the first progress sent across threads: counts of threads
    // left behind are taken after one whole run.
    static void SetUpTestSuite() {
        DownloadHost host;
        CProgressFtp warmUp;
        warmUp.Attach(host.Bar());
        host.Watch(warmUp.Message(), [&warmUp] {
            warmUp.ShowPosition();
            return warmUp.Texts();
        });
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        warmUp.Start(std::wstring(temp) + L"warm-up\\", Remote(L"files", L"small.bin"), TestPort(),
                     kFtpUser, kFtpPassword);
        host.PumpUntilEnd(20000);
        warmUp.Stop();
        host.Pump(100);
    }
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        const testing::TestInfo *info = testing::UnitTest::GetInstance()->current_test_info();
        std::wstring name(info->name(), info->name() + strlen(info->name()));
        folder = std::wstring(temp) + L"download-" + name + L"\\";
        log.Mark();
        threadsBefore = ThreadCount();
    }
    std::wstring TreeFile(const std::wstring &name) const {
        return log.StatePath(L"tree\\files\\" + name);
    }
    template <typename Control>
    void Watch(Control &control) {
        host.Watch(control.Message(), [&control] {
            control.ShowPosition();
            return control.Texts();
        });
    }
    bool StartProgress(CProgressFtp &control, const std::wstring &local, const std::wstring &remote) {
        return control.Start(local, remote, TestPort(), kFtpUser, kFtpPassword);
    }

    DownloadHost host;
    ServerLog log;
    std::wstring folder;
    int threadsBefore = 0;
};

TEST_F(DownloadTest, ProgressBarFetchesFilesWithTheirSizeTextsAndChecksTheSizeAgain) {
    CProgressFtp control;
    control.Attach(host.Bar());
    Watch(control);
    // The worker never moves the bar itself: only the window's thread does.
    CrossThreadSends barSends(host.Bar());
    struct Case {
        const wchar_t *name;
        const wchar_t *first, *last;
    } cases[] = {{L"small.bin", L"1.5KB / 1.5KB", L"1.5KB / 1.5KB"},  // one 64 KiB read
                 {L"seven.bin", L"700B / 700B", L"700B / 700B"},
                 {L"big.bin", L"64.0KB / 2.9MB", L"2.9MB / 2.9MB"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(c.name)));
        host.Clear();
        log.Mark();
        ASSERT_TRUE(StartProgress(control, folder + c.name, Remote(L"files", c.name)));
        ASSERT_TRUE(host.PumpUntilEnd(60000));
        host.Pump(50);
        EXPECT_EQ(host.Ends(), 1);
        EXPECT_EQ(host.notices.back(), kWorkerFinished) << host.endTexts.error;
        // Progress notices are coalesced: the window reads the latest texts,
        // which may already be past the first refresh.
        ASSERT_FALSE(host.progressTexts.empty());
        const std::wstring first = host.progressTexts.front().size;
        EXPECT_TRUE(first == c.first || first == c.last) << testing::PrintToString(first);
        EXPECT_EQ(host.progressTexts.back().size, c.last);
        EXPECT_EQ(host.endTexts.size, c.last);
        EXPECT_EQ(SendMessageW(host.Bar(), PBM_GETPOS, 0, 0), 100);
        EXPECT_TRUE(SameBytes(folder + c.name, TreeFile(c.name)));
        EXPECT_EQ(CountLines(log, "CMD RETR"), 1);
        // After the last byte the worker lists the folder over a second connection.
        EXPECT_EQ(log.Count(kServerLog, "LOGIN"), 2);
        control.Stop();
        // Wine may start a helper thread of its own around a test's first
        // transfer; from then on every run must leave the count where it was.
        if (&c == &cases[0]) threadsBefore = SettledThreadCount(threadsBefore);
    }
    EXPECT_EQ(SettledThreadCount(threadsBefore), threadsBefore);
    EXPECT_EQ(barSends.fromOtherThreads, 0);
    EXPECT_GT(barSends.ownThread, 3);
}

TEST_F(DownloadTest, SliderFollowsTheBytesOfALargeFile) {
    CSliderFtp slider;
    ASSERT_TRUE(slider.Attach(host.SliderStatic()));
    ASSERT_TRUE(slider.SetChannelBitmaps(IDB_SLIDER_CHANNEL, IDB_SLIDER_CHANNEL_ACTIVE, false, 0, 0, 0));
    ASSERT_TRUE(slider.SetThumbBitmaps(IDB_SLIDER_THUMB, IDB_SLIDER_THUMB_ACTIVE, true,
                                       kSkinKeyFromPixel, 0, 0));
    Watch(slider);
    ASSERT_TRUE(slider.Start(folder, Remote(L"files", L"big.bin"), TestPort(), kFtpUser, kFtpPassword));
    ASSERT_TRUE(host.PumpUntilEnd(60000));
    EXPECT_EQ(host.notices.back(), kWorkerFinished) << host.endTexts.error;
    EXPECT_EQ(slider.GetRangeMax(), 3000000);
    EXPECT_EQ(slider.GetPos(), 3000000);
    EXPECT_EQ(CSkinSlider::ForeignThreadCalls(), 0);
    EXPECT_EQ(host.endTexts.size, L"2.9MB / 2.9MB");
    EXPECT_TRUE(SameBytes(folder + L"big.bin", TreeFile(L"big.bin")));
}

TEST_F(DownloadTest, ACompleteLocalFileIsNotFetchedAgainAnotherSizeIsOverwritten) {
    CProgressFtp control;
    control.Attach(host.Bar());
    Watch(control);
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring local = folder + L"small.bin";
    ASSERT_TRUE(CopyFileW(TreeFile(L"small.bin").c_str(), local.c_str(), FALSE));

    ASSERT_TRUE(StartProgress(control, local, Remote(L"files", L"small.bin")));
    ASSERT_TRUE(host.PumpUntilEnd(30000));
    ASSERT_EQ(host.notices, std::vector<LPARAM>{kWorkerFinished});
    EXPECT_EQ(host.endTexts.size, L"");
    EXPECT_EQ(host.endTexts.speed, L"");
    EXPECT_EQ(SendMessageW(host.Bar(), PBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(CountLines(log, "CMD RETR"), 0);

    {
        std::ofstream shorter(local.c_str(), std::ios::binary | std::ios::trunc);
        shorter << "stale";
    }
    host.Clear();
    ASSERT_TRUE(StartProgress(control, local, Remote(L"files", L"small.bin")));
    ASSERT_TRUE(host.PumpUntilEnd(30000));
    EXPECT_EQ(host.notices.back(), kWorkerFinished);
    EXPECT_TRUE(SameBytes(local, TreeFile(L"small.bin")));
    EXPECT_EQ(CountLines(log, "CMD RETR"), 1);
}

TEST_F(DownloadTest, MissingFolderMissingFileAndAnUncreatableLocalFolderFailWithTheirTexts) {
    CProgressFtp control;
    control.Attach(host.Bar());
    Watch(control);
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring blocker = folder + L"plainfile";
    { std::ofstream(blocker.c_str()) << "x"; }
    struct Case {
        std::wstring local, remote, error;
    } cases[] = {
        {folder + L"a.bin", Remote(L"no-such-folder", L"a.bin"), L"Cannot find the folder in the server."},
        {folder + L"none.bin", Remote(L"files", L"none.bin"), L"Cannot open the file in the server."},
        {blocker + L"\\sub\\small.bin", Remote(L"files", L"small.bin"), L"Failed to create a file."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(c.error));
        host.Clear();
        ASSERT_TRUE(StartProgress(control, c.local, c.remote));
        ASSERT_TRUE(host.PumpUntilEnd(30000));
        host.Pump(50);
        EXPECT_EQ(host.notices, std::vector<LPARAM>{kWorkerFailed});
        EXPECT_EQ(host.endTexts.error, c.error);
        EXPECT_FALSE(Exists(c.local));
        control.Stop();
    }
    EXPECT_EQ(SettledThreadCount(threadsBefore), threadsBefore);
}

TEST_F(DownloadTest, AServerThatFallsSilentAndDropsTheDataFailsAndLeavesNoPartialFile) {
    CProgressFtp control;
    control.Attach(host.Bar());
    Watch(control);
    const DWORD start = GetTickCount();
    ASSERT_TRUE(StartProgress(control, folder, Remote(L"files", L"stall.bin")));
    ASSERT_TRUE(host.PumpUntilEnd(60000));
    EXPECT_GE(GetTickCount() - start, 15000u);
    EXPECT_EQ(host.notices.back(), kWorkerFailed);
    EXPECT_EQ(host.Ends(), 1);
    EXPECT_EQ(host.endTexts.error, kReadError);
    EXPECT_FALSE(Exists(folder + L"stall.bin"));
}

TEST_F(DownloadTest, StopDuringASilenceKeepsTheWindowAnsweringUntilTheWorkerEnds) {
    CProgressFtp control;
    control.Attach(host.Bar());
    Watch(control);
    ASSERT_TRUE(StartProgress(control, folder, Remote(L"files", L"silent.bin")));
    const DWORD start = GetTickCount();
    while (host.progressTexts.empty() && GetTickCount() - start < 20000) host.Pump(20);
    ASSERT_FALSE(host.progressTexts.empty());
    host.Pump(300);  // the server is silent now

    std::atomic<DWORD> answeredAfter{0};
    std::thread caller([&] {
        Sleep(1000);
        const DWORD asked = GetTickCount();
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(host.Window(), WM_NULL, 0, 0, SMTO_NORMAL, 3000, &result))
            answeredAfter = GetTickCount() - asked + 1;
    });
    const DWORD stopAt = GetTickCount();
    control.Stop();
    const DWORD stopTook = GetTickCount() - stopAt;
    caller.join();
    EXPECT_GT(stopTook, 2000u) << "the worker was blocked in its read";
    EXPECT_GT(answeredAfter.load(), 0u) << "the window answered while Stop waited";
    EXPECT_LT(answeredAfter.load(), 1000u);
    host.Pump(100);
    EXPECT_EQ(host.Ends(), 1);
    EXPECT_EQ(host.notices.back(), kWorkerStopped);
    EXPECT_EQ(SettledThreadCount(threadsBefore), threadsBefore);
    EXPECT_FALSE(Exists(folder + L"silent.bin"));
}

TEST_F(DownloadTest, AFileThatGrowsWhileItIsFetchedArrivesWithWhatItGrew) {
    CProgressFtp control;
    control.Attach(host.Bar());
    Watch(control);
    const std::string before = ReadBytes(TreeFile(L"grow.bin"));
    ASSERT_EQ(before.size(), 2048u);
    ASSERT_TRUE(StartProgress(control, folder, Remote(L"files", L"grow.bin")));
    ASSERT_TRUE(host.PumpUntilEnd(60000));
    EXPECT_EQ(host.notices.back(), kWorkerFinished) << host.endTexts.error;
    EXPECT_TRUE(ReadBytes(folder + L"grow.bin") == before + std::string(952, 'G'));
    EXPECT_EQ(CountLines(log, "CMD RETR grow.bin"), 2);
    EXPECT_EQ(host.endTexts.size, L"2.9KB / 2.9KB");
}

TEST_F(DownloadTest, StopAtRandomMomentsEndsEveryRunWithOneNoticeAndNoPartialFile) {
    CProgressFtp control;
    control.Attach(host.Bar());
    Watch(control);
    std::mt19937 random(20261208);
    const std::wstring local = folder + L"big.bin";
    const std::string whole = ReadBytes(TreeFile(L"big.bin"));
    for (int run = 0; run < 12; ++run) {
        SCOPED_TRACE(run);
        host.Clear();
        ASSERT_TRUE(StartProgress(control, local, Remote(L"files", L"big.bin")));
        host.Pump(random() % 600);
        control.Stop();
        host.Pump(100);
        ASSERT_EQ(host.Ends(), 1);
        const LPARAM end = host.notices.back();
        EXPECT_TRUE(end == kWorkerStopped || end == kWorkerFinished) << end;
        if (end == kWorkerFinished) EXPECT_TRUE(ReadBytes(local) == whole);
        else EXPECT_FALSE(Exists(local));
        EXPECT_EQ(SettledThreadCount(threadsBefore), threadsBefore);
        DeleteFileW(local.c_str());
    }
}

TEST_F(DownloadTest, ANameWithBlanksArrivesWholeThoughTheListingCutsIt) {
    CProgressFtp control;
    control.Attach(host.Bar());
    Watch(control);
    ASSERT_TRUE(StartProgress(control, folder, Remote(L"files", L"with blank.bin")));
    ASSERT_TRUE(host.PumpUntilEnd(60000));
    EXPECT_EQ(host.notices.back(), kWorkerFinished) << host.endTexts.error;
    EXPECT_TRUE(SameBytes(folder + L"with blank.bin", TreeFile(L"with blank.bin")));
}

TEST_F(DownloadTest, DownloadWindowFetchesEveryEntryUnderItsTitleAndCancelEndsIt) {
    const FtpEndpoint account{L"", TestPort(), kFtpUser, kFtpPassword};
    TextListTable files;
    files[folder + L"seven.bin"] = {Remote(L"files", L"seven.bin")};
    files[folder + L"small.bin"] = {Remote(L"files", L"small.bin")};
    std::atomic<bool> sawTitle{false};
    std::thread watcher([&] {
        for (int i = 0; i < 400 && !sawTitle; ++i) {
            if (FindWindowW(L"#32770", L"seven.bin") || FindWindowW(L"#32770", L"small.bin"))
                sawTitle = true;
            Sleep(10);
        }
    });
    CDownloadDlg all(files, account);
    EXPECT_EQ(all.DoModal(GetModuleHandleW(nullptr)), 1);
    watcher.join();
    EXPECT_TRUE(sawTitle.load());
    EXPECT_TRUE(SameBytes(folder + L"seven.bin", TreeFile(L"seven.bin")));
    EXPECT_TRUE(SameBytes(folder + L"small.bin", TreeFile(L"small.bin")));

    // Cancel while the server is silent: the window ends with 2 once the worker has.
    TextListTable slow;
    slow[folder + L"silent.bin"] = {Remote(L"files", L"silent.bin")};
    std::thread canceller([] {
        HWND dialog = nullptr;
        for (int i = 0; i < 500 && !dialog; ++i, Sleep(10)) dialog = FindWindowW(L"#32770", L"silent.bin");
        Sleep(1500);
        if (dialog) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    CDownloadDlg cancelled(slow, account);
    EXPECT_EQ(cancelled.DoModal(GetModuleHandleW(nullptr)), IDCANCEL);
    canceller.join();
    EXPECT_FALSE(Exists(folder + L"silent.bin"));

    // A failure ends the window with 1 as well.
    TextListTable missing;
    missing[folder + L"none.bin"] = {Remote(L"files", L"none.bin")};
    CDownloadDlg failed(missing, account);
    EXPECT_EQ(failed.DoModal(GetModuleHandleW(nullptr)), 1);
    EXPECT_EQ(SettledThreadCount(threadsBefore), threadsBefore);
}

TEST_F(DownloadTest, ServerKilledInTheMiddleOfATransferFails) {
    CProgressFtp control;
    control.Attach(host.Bar());
    Watch(control);
    ASSERT_TRUE(StartProgress(control, folder, Remote(L"files", L"kill.bin")));
    ASSERT_TRUE(host.PumpUntilEnd(60000));
    EXPECT_EQ(host.notices.back(), kWorkerFailed);
    EXPECT_EQ(host.endTexts.error, kReadError);
    EXPECT_FALSE(Exists(folder + L"kill.bin"));
    control.Stop();
    EXPECT_EQ(SettledThreadCount(threadsBefore), threadsBefore);
}

}  // namespace
