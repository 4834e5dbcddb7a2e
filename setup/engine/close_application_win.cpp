#include "setup/engine/close_application_win.h"

#include <windows.h>

#include "common/close_program_win.h"
#include "common/text.h"
#include "setup/script/setup_startup.h"

namespace {

struct WindowSearch {
    const std::wstring &name;
    const std::wstring &title;
    HWND byClass = nullptr;
    HWND byTitle = nullptr;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM data) {
    WindowSearch &search = *reinterpret_cast<WindowSearch *>(data);
    if (IsOwnProcessWindow(window)) return TRUE;
    wchar_t text[261] = {};
    if (!search.name.empty() && !search.byClass && GetClassNameW(window, text, 260) > 0 &&
        StartsWithNoCase(text, search.name)) {
        search.byClass = window;
        TraceSetup(std::wstring(L"\t szClassName : ") + text + L"\n");
        return FALSE;  // a class match wins over any title match
    }
    if (!search.title.empty() && !search.byTitle) {
        text[0] = L'\0';
        if (GetWindowTextW(window, text, 260) > 0 && StartsWithNoCase(text, search.title)) {
            search.byTitle = window;
            TraceSetup(std::wstring(L"\t szWindowTitle : ") + text + L"\n");
            if (search.name.empty()) return FALSE;
        }
    }
    return TRUE;
}

bool CloseTopLevelWindow(const std::wstring &name, const std::wstring &title) {
    if (name.empty() && title.empty()) return false;
    WindowSearch search{name, title};
    TraceSetup(L"{\n");
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&search));
    TraceSetup(L"}\n");
    HWND window = search.byClass ? search.byClass : search.byTitle;
    if (!window) return false;
    CloseWindowAndProcess(window);
    return true;
}

bool CloseBy(const std::wstring &name, const std::wstring &title) {
    bool tray = CloseTrayIconOwner(name, title);
    bool window = CloseTopLevelWindow(name, title);
    return tray || window;
}

}  // namespace

bool CloseRunningApplication(const std::wstring &name, const std::wstring &title) {
    if (CloseBy(name, title)) return true;
    if (EqualsNoCase(title, L"marboMusic")) return CloseBy(L"TuneForge", L"Tune Forge");
    return false;
}
