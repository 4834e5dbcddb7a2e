#include "updater/wizard/running_component_win.h"

#include <windows.h>

#include "common/close_program_win.h"
#include "updater/catalogue/program_names.h"
#include "updater/wizard/install_run.h"

namespace {

HWND FindOtherWindow(const wchar_t *className, const wchar_t *title) {
    HWND window = FindWindowW(className, title);
    return window && !IsOwnProcessWindow(window) ? window : nullptr;
}

}  // namespace

std::wstring CloseRunningComponent(const std::wstring &component, const std::wstring &packageName,
                                   const std::wstring &programFilesFolder) {
    const std::wstring title = WindowTitleFor(component);
    bool closed = CloseTrayIconOwner(component, title);

    HWND window = FindOtherWindow(component.c_str(), nullptr);
    if (!window) window = FindOtherWindow(nullptr, title.c_str());
    if (window) {
        CloseWindowAndProcess(window);
        closed = true;
    }
    if (!closed) return L"";
    return programFilesFolder + L"\\" + packageName + L"\\" + GetProgramFile(packageName);
}
