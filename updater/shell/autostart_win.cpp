#include "updater/shell/autostart_win.h"

#include "common/registry_key.h"

void RemoveAutostart() {
    CRegistryKey run;
    if (!run.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"))
        return;
    run.DeleteValue(L"Tessel for MID");
}
