#include "updater/wizard/installer_process_win.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include "common/kernel_handle_win.h"
#include "common/process_start_win.h"
#include "common/text.h"
#include "updater/wizard/busy_flag.h"
#include "updater/wizard/install_run.h"

namespace {

constexpr DWORD kWaitStepMs = 50;

bool FileExists(const std::wstring &path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring AssociatedProgram(const std::wstring &path) {
    wchar_t program[MAX_PATH] = {};
    const INT_PTR found =
        reinterpret_cast<INT_PTR>(FindExecutableW(path.c_str(), nullptr, program));
    return found > 32 ? program : L"";
}

bool AnyProcessNamed(const wchar_t *name) {
    CKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        if (EqualsNoCase(entry.szExeFile, name)) return true;
    }
    return false;
}

// Clears the busy flag however the run ends.
struct BusyScope {
    BusyScope() { SetInstallationBusy(true); }
    ~BusyScope() { SetInstallationBusy(false); }
};

}  // namespace

bool IsInstallerRunning(HANDLE process) {
    // The handle, held since creation, keeps the process identifier from being
    // reused, so "still running" cannot be answered by another process.
    if (process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT) return true;
    return AnyProcessNamed(L"dpinst.exe");
}

void PumpMessages() {
    for (int taken = 0; taken < 10; ++taken) {
        MSG message;
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) break;
        if (message.message == WM_QUIT) {
            // Not ours to take: the main loop ends the program after the wait.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (message.message < WM_MOUSEFIRST || message.message > 0x209) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(1);
    }
    keybd_event(0, 0, 0, 0);
}

void RunInstaller(const std::wstring &path) {
    BusyScope busy;
    if (!FileExists(path)) return;
    const std::wstring program = EndsWithNoCase(path, L".exe") ? L"" : AssociatedProgram(path);
    StartedProcess installer = StartProcess(L"", InstallerCommandLine(path, program));
    if (!installer) return;
    while (IsInstallerRunning(installer.process.Get())) {
        PumpMessages();
        Sleep(kWaitStepMs);
    }
}

void StartProgram(const std::wstring &program) {
    StartProcess(program, L"", ProcessUser::kDesktopUser);
}
