#include "setup/wizard/wizard_startup_win.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "common/folders.h"
#include "common/system_folders.h"
#include "setup/script/setup_settings.h"
#include "setup/wizard/install_wizard_win.h"
#include "setup/wizard/uninstall_wizard_win.h"
#include "setup/wizard/uninstaller_move.h"

namespace {

std::wstring OwnPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (length == 0) return L"";
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

bool StartCopyFromTemp() {
    const SetupSettings &settings = ProcessSetupSettings();
    const std::wstring self = OwnPath();
    if (self.empty() || settings.WindowsDir.empty()) return false;
    const std::wstring folder = TempFolderOf(settings.WindowsDir);
    const std::wstring copy = TempCopyPath(settings.WindowsDir, self);
    if (!CreateFolderPath(folder)) return false;
    if (!CopyFileW(self.c_str(), copy.c_str(), FALSE)) return false;
    if (!SetCurrentDirectoryW(folder.c_str())) return false;

    // The copy's path is its whole command line, quoted for folders with blanks.
    std::wstring commandLine = L"\"" + copy + L"\"";
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

int RunSetupWizard() {
    const SetupSettings &settings = ProcessSetupSettings();
    if (settings.Mode == SetupMode::Uninstall &&
        MustMoveOut(settings.InstallDir, GetProgramFolder()) && StartCopyFromTemp())
        return 0;

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The folder browser needs COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    if (settings.Mode == SetupMode::Install) {
        CInstallWizard wizard;
        wizard.Run();
    } else {
        CUninstallWizard wizard;
        wizard.Run();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
