#include "updater/identify/windows_version_win.h"

int GetWindowsProductName(std::wstring &name) {
    name.clear();
    // Not built yet: no name, which start-up treats as Windows 7.
    return 0;
}
