#include <windows.h>

#include "common/dll_search.h"
#include "setup/script/program_file.h"
#include "setup/script/setup_startup.h"
#include "setup/wizard/wizard_startup_win.h"

// marboSetup: an installer or an uninstaller, depending on the marker that
// follows the program in its own file.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    RestrictDllSearch();
    // Held until the program ends: what is installed is what was started.
    if (!OpenProgramFile()) return 0;
    // Without a marker the program is no setup package: end at once, showing nothing.
    if (!ReadSetupSettings()) return 0;
    return RunSetupWizard(arguments ? arguments : L"");
}
