#include "common/process_start_win.h"

#include <vector>

#include "common/system_function_win.h"

namespace {

// Never 0 for a failed step: 0 means "no shell" to the caller.
DWORD FailedStepError() {
    const DWORD error = GetLastError();
    return error ? error : ERROR_ACCESS_DENIED;
}

using CreateWithTokenFn = BOOL(WINAPI *)(HANDLE, DWORD, LPCWSTR, LPWSTR, DWORD, LPVOID, LPCWSTR,
                                         LPSTARTUPINFOW, LPPROCESS_INFORMATION);

CKernelHandle OpenOwnToken(DWORD access) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), access, &token)) return CKernelHandle();
    return CKernelHandle(token);
}

// XP knows no elevation: the query fails there.
bool RunsElevated() {
    CKernelHandle token = OpenOwnToken(TOKEN_QUERY);
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    return token &&
           GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

// A primary token copied from the process that owns the shell's window: the
// rights the user at this desktop has. Empty with `error` 0 when the desktop
// has no shell window; empty with the failing step's error otherwise.
CKernelHandle DesktopUserToken(DWORD &error) {
    error = 0;
    HWND shell = GetShellWindow();
    if (!shell) return CKernelHandle();
    DWORD processId = 0;
    GetWindowThreadProcessId(shell, &processId);
    CKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    HANDLE shellToken = nullptr;
    if (!process || !OpenProcessToken(process.Get(), TOKEN_DUPLICATE, &shellToken)) {
        error = FailedStepError();
        return CKernelHandle();
    }
    CKernelHandle owned(shellToken);
    HANDLE primary = nullptr;
    if (!DuplicateTokenEx(owned.Get(),
                          TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY |
                              TOKEN_ADJUST_DEFAULT | TOKEN_ADJUST_SESSIONID,
                          nullptr, SecurityImpersonation, TokenPrimary, &primary)) {
        error = FailedStepError();
        return CKernelHandle();
    }
    return CKernelHandle(primary);
}

}  // namespace

StartedProcess StartProcess(const std::wstring &application, const std::wstring &commandLine,
                            ProcessUser user) {
    // The system may write into the command line it is given.
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    const wchar_t *applicationName = application.empty() ? nullptr : application.c_str();
    wchar_t *line = commandLine.empty() ? nullptr : writable.data();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created = {};
    StartedProcess started;
    if (application.empty() && commandLine.empty()) {
        started.error = ERROR_INVALID_PARAMETER;  // nothing names a program
        return started;
    }

    CKernelHandle userToken;
    if (user == ProcessUser::kDesktopUser && RunsElevated()) {
        userToken = DesktopUserToken(started.error);
        if (started.error) return started;
    }
    BOOL ok;
    if (userToken) {
        const auto createWithToken =
            FindSystemFunction<CreateWithTokenFn>(L"advapi32.dll", "CreateProcessWithTokenW");
        if (!createWithToken) {
            started.error = ERROR_PROC_NOT_FOUND;
            return started;
        }
        ok = createWithToken(userToken.Get(), 0, applicationName, line, 0, nullptr, nullptr,
                             &startup, &created);
    } else {
        ok = CreateProcessW(applicationName, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &created);
    }
    if (!ok) {
        started.error = GetLastError();
        return started;
    }
    CKernelHandle thread(created.hThread);
    started.process.Reset(created.hProcess);
    return started;
}
