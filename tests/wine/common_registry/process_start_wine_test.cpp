// StartProcess against Wine's real process creation.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "common/process_start_win.h"

namespace {

std::wstring SystemProgram(const wchar_t *name) {
    wchar_t folder[MAX_PATH];
    GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + name;
}

DWORD ExitCodeOf(const StartedProcess &started) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(started.process.Get(), 10000) == WAIT_OBJECT_0)
        GetExitCodeProcess(started.process.Get(), &code);
    return code;
}

// Wine's desktop has no shell window, so under Wine a start for the desktop
// user takes this process's token as on XP; the shell-token route (Vista and
// later, elevated) cannot be shown here. What is shown: both routes start the
// program and hand back its own process handle.
TEST(StartProcess, StartsByCommandLineOrByApplicationAndOwnsTheProcess) {
    ASSERT_EQ(nullptr, GetShellWindow()) << "Wine now has a shell window: test the token route";
    for (ProcessUser user : {ProcessUser::kSame, ProcessUser::kDesktopUser}) {
        StartedProcess byLine = StartProcess(L"", L"\"" + SystemProgram(L"cmd.exe") + L"\" /c exit 7", user);
        ASSERT_TRUE(byLine) << byLine.error;
        EXPECT_EQ(0u, byLine.error);
        EXPECT_EQ(7u, ExitCodeOf(byLine));

        StartedProcess byApplication = StartProcess(SystemProgram(L"cmd.exe"), L"cmd /c exit 3", user);
        ASSERT_TRUE(byApplication) << byApplication.error;
        EXPECT_EQ(3u, ExitCodeOf(byApplication));
    }
}

TEST(StartProcess, AProgramThatCannotStartGivesItsError) {
    for (ProcessUser user : {ProcessUser::kSame, ProcessUser::kDesktopUser}) {
        StartedProcess missing = StartProcess(L"", L"C:\\no\\such\\program.exe", user);
        EXPECT_FALSE(missing);
        EXPECT_TRUE(missing.error == ERROR_FILE_NOT_FOUND || missing.error == ERROR_PATH_NOT_FOUND)
            << missing.error;
        StartedProcess nothing = StartProcess(L"", L"", user);
        EXPECT_FALSE(nothing);
        EXPECT_NE(0u, nothing.error);
    }
}

}  // namespace
