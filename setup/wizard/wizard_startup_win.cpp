#include "setup/wizard/wizard_startup_win.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <string>

#include "common/system_folders.h"
#include "setup/script/setup_settings.h"
#include "setup/script/setup_startup.h"
#include "setup/wizard/install_wizard_win.h"
#include "setup/wizard/silent_options.h"
#include "setup/wizard/silent_setup_win.h"
#include "setup/wizard/uninstall_wizard_win.h"
#include "setup/wizard/uninstaller_copy_win.h"
#include "setup/wizard/uninstaller_move.h"

int RunSetupWizard(const std::wstring &arguments) {
    const SetupSettings &settings = ProcessSetupSettings();
    const SetupOptions options = ParseSetupOptions(arguments);
    // The copy carries on silently too; this process cannot learn its outcome
    // (it must end before the copy can delete its file), so it ends with 0.
    if (settings.Mode == SetupMode::Uninstall && options.understood &&
        MustMoveOut(settings.InstallDir, GetProgramFolder()) &&
        StartCopyFromTemp(settings.WindowsDir, options.silent ? L"/S" : L""))
        return kSilentDone;
    if (options.silent) return RunSilentSetup(options);

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
