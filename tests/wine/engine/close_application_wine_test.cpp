#include "setup/engine/close_application_win.h"

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "common/system_folders.h"

// The victim side lives in engine_test_main.cpp: this executable started with
// "--victim <class> <title> <kind>" shows a top-level window; see there.
namespace {

constexpr DWORD kObligingExitCode = 7;
enum VictimKind { kStubborn = 0, kObliging = 1, kClosesItsWindowOnly = 2 };

class Victim {
public:
    Victim(const std::wstring &className, const std::wstring &title, VictimKind kind)
        : className_(className) {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring command = L"\"" + std::wstring(self) + L"\" --victim \"" + className + L"\" \"" +
                               title + L"\" " + std::to_wstring(int(kind));
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        if (!CreateProcessW(self, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &process_))
            return;
        CloseHandle(process_.hThread);
        for (int i = 0; i < 200 && !FindWindowW(className_.c_str(), nullptr); ++i) Sleep(50);
    }
    ~Victim() {
        if (!process_.hProcess) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hProcess);
    }
    bool Showing() const { return FindWindowW(className_.c_str(), nullptr) != nullptr; }
    bool EndsWithin(DWORD ms) const {
        return process_.hProcess && WaitForSingleObject(process_.hProcess, ms) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const {
        DWORD code = 12345;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    std::wstring className_;
    PROCESS_INFORMATION process_ = {};
};

std::wstring Unique(const wchar_t *stem) {
    return stem + std::to_wstring(GetCurrentProcessId());
}

TEST(CloseRunningApplication, ClassPrefixClosesAnObligingWindow) {
    const std::wstring cls = Unique(L"EngineVictimClass");
    Victim victim(cls, L"Some player", kObliging);
    ASSERT_TRUE(victim.Showing());
    EXPECT_TRUE(CloseRunningApplication(L"enginevictimclass", L""));
    ASSERT_TRUE(victim.EndsWithin(3000));
    EXPECT_EQ(victim.ExitCode(), kObligingExitCode) << "it closed itself";
}

TEST(CloseRunningApplication, TitlePrefixTerminatesAStubbornWindow) {
    const std::wstring title = Unique(L"Engine Victim Title ");
    Victim victim(Unique(L"EngineStubborn"), title + L"- playing", kStubborn);
    ASSERT_TRUE(victim.Showing());
    const DWORD start = GetTickCount();
    EXPECT_TRUE(CloseRunningApplication(L"", title));
    EXPECT_GE(GetTickCount() - start, 1900u) << "it had its two seconds";
    ASSERT_TRUE(victim.EndsWithin(3000));
    EXPECT_EQ(victim.ExitCode(), 0u) << "terminated with exit code 0";
}

TEST(CloseRunningApplication, EmptyCriteriaCloseNothing) {
    const std::wstring cls = Unique(L"EngineBystander");
    Victim victim(cls, L"Bystander", kObliging);
    ASSERT_TRUE(victim.Showing());
    EXPECT_FALSE(CloseRunningApplication(L"", L""));
    EXPECT_FALSE(CloseRunningApplication(L"NoSuchClassAnywhere", L""));
    EXPECT_FALSE(CloseRunningApplication(L"", L"No such title anywhere"));
    EXPECT_FALSE(victim.EndsWithin(0));
    EXPECT_TRUE(victim.Showing());
}

TEST(CloseRunningApplication, MarboMusicFallsBackToTheTuneForgeNames) {
    Victim victim(Unique(L"EnginePlayer"), L"Tune Forge " + Unique(L"player"), kObliging);
    ASSERT_TRUE(victim.Showing());
    EXPECT_TRUE(CloseRunningApplication(L"", L"MARBOMUSIC"));
    ASSERT_TRUE(victim.EndsWithin(3000));
    EXPECT_EQ(victim.ExitCode(), kObligingExitCode);
}

TEST(CloseRunningApplication, AProcessWhoseWindowWentAsAskedRunsOn) {
    const std::wstring cls = Unique(L"EngineFolderWindow");
    Victim shell(cls, L"Viewer folder", kClosesItsWindowOnly);
    ASSERT_TRUE(shell.Showing());
    EXPECT_TRUE(CloseRunningApplication(cls, L""));
    EXPECT_FALSE(shell.Showing());
    EXPECT_FALSE(shell.EndsWithin(0));
}

TEST(CloseRunningApplication, NeverClosesItsOwnProcess) {
    const std::wstring cls = Unique(L"EngineOwnWindow");
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = cls.c_str();
    ASSERT_TRUE(RegisterClassW(&wc));
    HWND own = CreateWindowExW(0, cls.c_str(), cls.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                               nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(own, nullptr);
    EXPECT_FALSE(CloseRunningApplication(cls, cls));
    EXPECT_TRUE(IsWindow(own));
    DestroyWindow(own);
}

}  // namespace
