#ifndef TESTS_WINE_SETUP_STARTUP_DEBUGGEE_WIN_H
#define TESTS_WINE_SETUP_STARTUP_DEBUGGEE_WIN_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Runs a program as a debuggee and records what a person could not see: its
// debugger output and whether it ever had a visible top-level window.
struct DebuggeeRun {
    bool started = false;
    bool exited = false;      // ended by itself (not terminated by the test)
    DWORD exitCode = 0;
    DWORD milliseconds = 0;
    bool sawVisibleWindow = false;
    std::vector<std::string> debugOutput;
};

// `enough` is asked after each debugger output line; when it answers true the
// program is ended (a later wizard window would otherwise wait for a person).
DebuggeeRun RunDebuggee(const std::wstring &commandLine, DWORD timeoutMs,
                        const std::function<bool(const std::vector<std::string> &)> &enough);

// A Unix path of the build as Wine sees it ("Z:\...").
std::wstring WinePath(const char *unixPath);

#endif
