#include "setup/wizard/complete_actions_win.h"

#include <string>

#include "common/kernel_handle_win.h"
#include "setup/wizard/after_program.h"
#include "setup/wizard/start_program_win.h"
#include "setup/wizard/wizard_frame_win.h"
#include "setup/wizard/wizard_texts.h"

namespace {

bool EnableShutdownPrivilege() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &opened))
        return false;
    CKernelHandle token(opened);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool enabled = LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege",
                                         &privileges.Privileges[0].Luid) &&
                   AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr) &&
                   GetLastError() == ERROR_SUCCESS;  // not ERROR_NOT_ALL_ASSIGNED
    return enabled;
}

}  // namespace

bool StartAfterProgram(const SetupSettings &settings) {
    const std::wstring commandLine = AfterCommandLine(settings);
    // The program is the user's to work in, so it gets the user's rights, not the wizard's.
    return !commandLine.empty() && StartCommandLine(commandLine, ProcessUser::kDesktopUser);
}

void OfferRestart(HWND owner) {
    if (!AskYesNo(owner, wizard_text::kRestart)) return;
    if (EnableShutdownPrivilege()) ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0);
}
