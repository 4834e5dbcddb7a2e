#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

#include "tests/harness/thread_count_win.h"
#include "tests/wine/extract/extract_test_support.h"
#include "tests/harness/cross_thread_sends_win.h"
#include "updater/transfer/progress_extract_win.h"

// CProgressExtract in a test dialog of its own: a window with the progress
// bar, pumping messages as the wizard's progress page does, against packages
// in real folders (and, given a small drive, a destination that is too small).

namespace {

const wchar_t kEnglishOpen[] = L"Cannot open installation files.";
const wchar_t kKoreanOpen[] = L"설치 파일을 열 수 없습니다.";
const wchar_t kEnglishCopy[] = L"An error has occurred while copying installation files.";
const wchar_t kKoreanCopy[] = L"설치 파일을 복사하는 중에 에러가 발생했습니다.";

bool Korean() { return GetSystemDefaultLangID() == 0x0412; }

// The page: a window that keeps every end notice the control posts to it.
class TestDialog {
public:
    TestDialog() {
        static bool registered = false;
        if (!registered) {
            INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
            InitCommonControlsEx(&controls);
            WNDCLASSW wc = {};
            wc.lpfnWndProc = Procedure;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ExtractTestDialog";
            registered = RegisterClassW(&wc) != 0;
        }
        window_ = CreateWindowExW(0, L"ExtractTestDialog", L"Extract test", WS_OVERLAPPEDWINDOW, 0, 0, 400, 120,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), this);
        bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 10, 10, 300, 20, window_,
                               reinterpret_cast<HMENU>(1003), GetModuleHandleW(nullptr), nullptr);
        control_.Attach(bar_);
        // A position the run must reset.
        SendMessageW(bar_, PBM_SETPOS, 37, 0);
    }
    ~TestDialog() { DestroyWindow(window_); }

    CProgressExtract &Control() { return control_; }
    // A new run: earlier notices are forgotten.
    bool Start(const std::wstring &destination, const std::wstring &package) {
        notices_.clear();
        return control_.Start(destination, package);
    }
    int Position() const { return int(SendMessageW(bar_, PBM_GETPOS, 0, 0)); }
    HWND Bar() const { return bar_; }
    const std::vector<LPARAM> &Notices() const { return notices_; }

    // Pumps messages until an end notice came (its code) or `timeoutMs` ran out (0).
    // `whileRunning` is called between messages; it may stop the control.
    LPARAM WaitForEnd(DWORD timeoutMs = 60000, const std::function<void()> &whileRunning = {}) {
        const DWORD start = GetTickCount();
        while (notices_.empty() && GetTickCount() - start < timeoutMs) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            if (whileRunning && notices_.empty()) whileRunning();
        }
        // A second notice for the same run would be a fault: give it a moment.
        Sleep(50);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        control_.Stop();  // what the page does on every end notice
        return notices_.empty() ? 0 : notices_.front();
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              LONG_PTR(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
        auto *self = reinterpret_cast<TestDialog *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == CProgressExtract::Message()) {
            EXPECT_EQ(wParam, 0u);
            self->control_.ShowPosition();
            if (lParam != kWorkerProgress) self->notices_.push_back(lParam);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_ = nullptr, bar_ = nullptr;
    std::vector<LPARAM> notices_;
    CProgressExtract control_;
};


}  // namespace

TEST(ProgressExtract, UnpacksAPackageAndAnEmptyOneWithTheBar) {
    const std::wstring work = NewFolder(L"extract-package");
    const std::wstring package = work + L"\\Driver.zip", destination = work + L"\\Program Files\\Driver";
    const std::vector<uint8_t> setup = RandomData(300000), inf = TextData(120000);
    WritePackage(package, {{"Drivers/", {}, true}, {"Setup.exe", setup}, {"Drivers/k4.inf", inf}});
    TestDialog dialog;
    CrossThreadSends barSends(dialog.Bar());
    ASSERT_TRUE(dialog.Start(destination, package));
    EXPECT_EQ(dialog.WaitForEnd(), kWorkerFinished);
    EXPECT_EQ(dialog.Notices().size(), 1u);
    // The worker published; the window's thread moved the bar.
    EXPECT_EQ(barSends.fromOtherThreads, 0);
    EXPECT_GT(barSends.ownThread, 0);
    EXPECT_EQ(dialog.Position(), 100);
    EXPECT_EQ(dialog.Control().ErrorText(), L"");
    EXPECT_EQ(ReadBytes(destination + L"\\Setup.exe"), setup);
    EXPECT_EQ(ReadBytes(destination + L"\\Drivers\\k4.inf"), inf);

    // No entries: finished, the bar at 0, only the destination made.
    const std::wstring empty = work + L"\\Empty.zip", emptyDestination = work + L"\\EmptyPkg";
    WritePackage(empty, {});
    TestDialog second;
    ASSERT_TRUE(second.Start(emptyDestination, empty));
    EXPECT_EQ(second.WaitForEnd(), kWorkerFinished);
    EXPECT_EQ(second.Position(), 0);
    EXPECT_TRUE(ListTree(emptyDestination).empty());

    // A destination without a drive letter: the free space cannot be told, the run goes on.
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    SetCurrentDirectoryW(work.c_str());
    ASSERT_TRUE(second.Start(L"Relative\\Driver", package));
    EXPECT_EQ(second.WaitForEnd(), kWorkerFinished);
    SetCurrentDirectoryW(current);
    EXPECT_EQ(ReadBytes(work + L"\\Relative\\Driver\\Setup.exe"), setup);
}

TEST(ProgressExtract, FailuresNameTheirCauseAndKeepEarlierEntries) {
    const char *expected = std::getenv("TESSEL_EXPECT_LANGUAGE");
    if (expected && std::strcmp(expected, "ko") == 0) {
        ASSERT_TRUE(Korean()) << "the Korean run is not on a Korean system";
    }
    const std::wstring work = NewFolder(L"extract-failures");
    const std::wstring copyError = Korean() ? kKoreanCopy : kEnglishCopy;

    // Not an archive, and no file at all.
    WriteBytes(work + L"\\NotZip.zip", TextData(4000));
    for (const wchar_t *name : {L"\\NotZip.zip", L"\\Missing.zip"}) {
        TestDialog dialog;
        ASSERT_TRUE(dialog.Start(work + L"\\out", work + name));
        EXPECT_EQ(dialog.WaitForEnd(), kWorkerFailed);
        EXPECT_EQ(dialog.Control().ErrorText(), Korean() ? kKoreanOpen : kEnglishOpen);
    }

    // A damaged second entry: the first stays written, the third is never reached.
    const std::wstring damaged = work + L"\\Damaged.zip", out = work + L"\\Damaged";
    WritePackage(damaged, {{"first.txt", TextData(3000)}, {"second.txt", TextData(80000)}, {"third.txt", TextData(10)}},
                 1);
    TestDialog dialog;
    ASSERT_TRUE(dialog.Start(out, damaged));
    EXPECT_EQ(dialog.WaitForEnd(), kWorkerFailed);
    EXPECT_EQ(dialog.Control().ErrorText(), copyError);
    EXPECT_EQ(ReadBytes(out + L"\\first.txt"), TextData(3000));
    EXPECT_FALSE(Exists(out + L"\\third.txt"));

    // A target the destination will not take: held open without sharing.
    const std::wstring locked = work + L"\\Locked.zip", lockedOut = work + L"\\LockedOut";
    WritePackage(locked, {{"a.txt", TextData(10)}, {"b.txt", TextData(10)}});
    CreateDirectoryW(lockedOut.c_str(), nullptr);
    HANDLE holder = CreateFileW((lockedOut + L"\\b.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    TestDialog lockedDialog;
    ASSERT_TRUE(lockedDialog.Start(lockedOut, locked));
    EXPECT_EQ(lockedDialog.WaitForEnd(), kWorkerFailed);
    EXPECT_EQ(lockedDialog.Control().ErrorText(), copyError);
    EXPECT_EQ(ReadBytes(lockedOut + L"\\a.txt"), TextData(10));
    CloseHandle(holder);

    // Hostile names: the run fails at the first, and nothing leaves the destination.
    const std::wstring hostile = work + L"\\Hostile.zip", hostileOut = work + L"\\deep\\Hostile";
    WritePackage(hostile, {{"ok.txt", TextData(5)}, {"..\\..\\escaped.txt", TextData(5)}, {"C:\\escaped.txt", TextData(5)}});
    TestDialog hostileDialog;
    ASSERT_TRUE(hostileDialog.Start(hostileOut, hostile));
    EXPECT_EQ(hostileDialog.WaitForEnd(), kWorkerFailed);
    EXPECT_EQ(hostileDialog.Control().ErrorText(), copyError);
    EXPECT_EQ(ListTree(work + L"\\deep"), (std::vector<std::wstring>{L"Hostile", L"Hostile\\ok.txt"}));
    EXPECT_FALSE(Exists(work + L"\\escaped.txt"));
}

TEST(ProgressExtract, CancelDuringALargeEntryStopsAndLeavesNoThread) {
    const std::wstring work = NewFolder(L"extract-cancel");
    const std::wstring package = work + L"\\Large.zip", destination = work + L"\\Large";
    const size_t size = 64u << 20;
    WritePackage(package, {{"small.txt", TextData(100)}, {"large.bin", RandomData(size), false, false}});
    const int threadsBefore = ThreadCount();
    {
        TestDialog dialog;
        ASSERT_TRUE(dialog.Start(destination, package));
        int positionAtStop = -1;
        const LPARAM end = dialog.WaitForEnd(60000, [&] {
            if (positionAtStop < 0 && dialog.Position() > 0) {
                positionAtStop = dialog.Position();
                dialog.Control().Stop();
            }
        });
        EXPECT_EQ(end, kWorkerStopped);
        EXPECT_EQ(dialog.Notices().size(), 1u);
        EXPECT_GT(positionAtStop, 0);
        EXPECT_LT(positionAtStop, 100);
        const size_t written = ReadBytes(destination + L"\\large.bin").size();
        EXPECT_LT(written, size) << "the large entry was left partly written";
        EXPECT_LE(ThreadCount(), threadsBefore);

        // The control goes while a run is in the middle: its worker goes first.
        ASSERT_TRUE(dialog.Start(destination, package));
        Sleep(30);
    }
    EXPECT_LE(ThreadCount(), threadsBefore);
    const size_t after = ReadBytes(destination + L"\\large.bin").size();
    Sleep(300);
    EXPECT_EQ(ReadBytes(destination + L"\\large.bin").size(), after) << "nothing writes after the control is gone";
}

// Run by small_drive.sh with TESSEL_SMALL_DRIVE naming a drive of about 1 MB.
TEST(ProgressExtractSmallDrive, TooLittleSpaceNamesTheTotalAndWritesNothing) {
    const char *drive = std::getenv("TESSEL_SMALL_DRIVE");
    if (!drive || !*drive) GTEST_SKIP() << "no small drive (tests/wine/extract/small_drive.sh makes one)";
    const std::wstring root = std::wstring(drive, drive + strlen(drive)) + L"\\";
    const std::wstring work = NewFolder(L"extract-small-drive");

    // 1,500,000 bytes against about 1,000,000 free: the "%.1fMB" form with 1.4.
    const std::wstring big = work + L"\\Big.zip";
    WritePackage(big, {{"a.bin", RandomData(750000)}, {"b.bin", RandomData(750000, 9)}});
    TestDialog dialog;
    ASSERT_TRUE(dialog.Start(root + L"Program Files\\Big", big));
    EXPECT_EQ(dialog.WaitForEnd(), kWorkerFailed);
    EXPECT_EQ(dialog.Control().ErrorText(),
              Korean() ? L"설치 파일을 복사하기 위해서는 최소 1.4MB의 Disk 공간이 필요합니다."
                       : L"In order to copy installation files, disk space of at least 1.4MB is needed.");
    EXPECT_TRUE(ListTree(root).empty()) << "nothing written";

    // Filled up, the drive has no room for 700 bytes: the "%dB" form.
    {
        HANDLE filler = CreateFileW((root + L"filler").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(filler, INVALID_HANDLE_VALUE);
        std::vector<uint8_t> block(4096, 0x55);
        DWORD put = 0;
        while (WriteFile(filler, block.data(), DWORD(block.size()), &put, nullptr) && put == block.size()) {
        }
        CloseHandle(filler);
    }
    unsigned long long freeBytes = 0;
    ASSERT_TRUE(GetDriveFreeBytes(root, freeBytes));
    ASSERT_LT(freeBytes, 700u);
    const std::wstring small = work + L"\\Small.zip";
    WritePackage(small, {{"tiny.txt", TextData(700)}});
    ASSERT_TRUE(dialog.Start(root + L"Tiny", small));
    EXPECT_EQ(dialog.WaitForEnd(), kWorkerFailed);
    EXPECT_EQ(dialog.Control().ErrorText(),
              Korean() ? L"설치 파일을 복사하기 위해서는 최소 700B의 Disk 공간이 필요합니다."
                       : L"In order to copy installation files, disk space of at least 700B is needed.");
    EXPECT_FALSE(Exists(root + L"Tiny"));
    DeleteFileW((root + L"filler").c_str());
}
