#include "updater/catalogue/program_names_win.h"

#include <shlobj.h>

#include "common/system_folders.h"

std::wstring GetInstalledFile(const std::wstring &component) {
    std::wstring programFiles, windows;
    GetSpecialFolder(programFiles, nullptr, CSIDL_PROGRAM_FILES);
    GetSpecialFolder(windows, nullptr, CSIDL_WINDOWS);
    return InstalledFileIn(component, programFiles, windows);
}
