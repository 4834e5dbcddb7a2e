#include <windows.h>

#include "common/dll_search.h"
#include "updater/shell/update_manager_app_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
    RestrictDllSearch();
    CUpdateManagerApp app(instance);
    return app.Run(arguments);
}
