#include "tests/wine/setup_startup/debuggee_win.h"

namespace {

struct WindowSearch {
    DWORD pid;
    bool found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM param) {
    auto *search = reinterpret_cast<WindowSearch *>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && IsWindowVisible(window)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

std::string ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO &info) {
    std::string text;
    if (info.fUnicode) {
        std::wstring wide(info.nDebugStringLength, L'\0');
        SIZE_T got = 0;
        ReadProcessMemory(process, info.lpDebugStringData, &wide[0],
                          wide.size() * sizeof(wchar_t), &got);
        wide.resize(got / sizeof(wchar_t));
        for (wchar_t c : wide) text += c < 0x80 ? char(c) : '?';
    } else {
        text.assign(info.nDebugStringLength, '\0');
        SIZE_T got = 0;
        ReadProcessMemory(process, info.lpDebugStringData, &text[0], text.size(), &got);
        text.resize(got);
    }
    while (!text.empty() && (text.back() == '\0' || text.back() == '\n')) text.pop_back();
    return text;
}

}  // namespace

std::wstring WinePath(const char *unixPath) {
    std::wstring path = L"Z:";
    for (const char *p = unixPath; *p; ++p) path += *p == '/' ? L'\\' : wchar_t(*p);
    return path;
}

DebuggeeRun RunDebuggee(const std::wstring &commandLine, DWORD timeoutMs,
                        const std::function<bool(const std::vector<std::string> &)> &enough) {
    DebuggeeRun run;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                        nullptr, nullptr, &si, &pi))
        return run;
    run.started = true;
    DWORD start = GetTickCount();
    bool terminating = false;
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed > timeoutMs && !terminating) {
            TerminateProcess(pi.hProcess, 99);
            terminating = true;
        }
        DEBUG_EVENT ev = {};
        if (!WaitForDebugEvent(&ev, 200)) continue;
        WindowSearch search = {pi.dwProcessId, false};
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        run.sawVisibleWindow = run.sawVisibleWindow || search.found;
        DWORD status = DBG_CONTINUE;
        switch (ev.dwDebugEventCode) {
            case OUTPUT_DEBUG_STRING_EVENT:
                run.debugOutput.push_back(ReadDebugString(pi.hProcess, ev.u.DebugString));
                if (!terminating && enough && enough(run.debugOutput)) {
                    TerminateProcess(pi.hProcess, 99);
                    terminating = true;
                }
                break;
            case EXCEPTION_DEBUG_EVENT:
                if (ev.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                    status = DBG_EXCEPTION_NOT_HANDLED;
                break;
            case CREATE_PROCESS_DEBUG_EVENT:
                CloseHandle(ev.u.CreateProcessInfo.hFile);
                break;
            case LOAD_DLL_DEBUG_EVENT:
                CloseHandle(ev.u.LoadDll.hFile);
                break;
            default:
                break;
        }
        if (ev.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) {
            run.exited = !terminating;
            run.exitCode = ev.u.ExitProcess.dwExitCode;
            ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, DBG_CONTINUE);
            break;
        }
        ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, status);
    }
    run.milliseconds = GetTickCount() - start;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return run;
}
