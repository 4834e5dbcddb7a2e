#include "setup/wizard/wizard_startup_win.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <string>

#include "common/folders.h"
#include "common/system_folders.h"
#include "setup/script/setup_settings.h"
#include "setup/script/setup_startup.h"
#include "setup/wizard/install_wizard_win.h"
#include "setup/wizard/start_program_win.h"
#include "setup/wizard/uninstall_wizard_win.h"
#include "setup/wizard/uninstaller_move.h"

bool StartCopyFromTemp() {
    const SetupSettings &settings = ProcessSetupSettings();
    const std::wstring self = GetProgramFile();
    if (self.empty() || settings.WindowsDir.empty()) return false;
    const std::wstring folder = TempFolderOf(settings.WindowsDir);
    const std::wstring copy = TempCopyPath(settings.WindowsDir, self);
    if (!CreateFolderPath(folder)) return false;
    if (!CopyFileW(self.c_str(), copy.c_str(), FALSE)) return false;
    // Nothing can delete the copy while it runs, and nothing of the product is
    // left to do it afterwards: Windows deletes it at its next start. Asking
    // needs administrator rights, which an uninstaller has; without them the
    // copy stays, as it always did.
    MoveFileExW(copy.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    if (!SetCurrentDirectoryW(folder.c_str())) return false;

    // The copy's path is its whole command line, quoted for folders with blanks.
    return StartCommandLine(L"\"" + copy + L"\"");
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
