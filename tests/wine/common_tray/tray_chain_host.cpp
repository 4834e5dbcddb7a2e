// Stands in for the shell: a top-level window with the chain
// TrayNotifyWnd > SysPager > ToolbarWindow32 below it, whose buttons carry icon records.
// Closing the tray window ends the program.
//   tray_chain_host            records for two owner windows of its own (a third
//                              owns no icon); the top-level window has a class of
//                              its own rather than "Shell_TrayWnd", so that other
//                              tests running meanwhile never take it for the
//                              notification area.
//   tray_chain_host LOG_FILE   the notification area itself: a topmost
//                              "Shell_TrayWnd" that Shell_NotifyIcon of any program
//                              reaches; each icon added or deleted is a button
//                              added or removed and a line "tray add <id>" or
//                              "tray delete <id>" appended to LOG_FILE (UTF-8).
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdint>
#include <string>

namespace {

struct IconRecord {  // the 24 bytes the search reads: the owner comes first
    HWND owner;
    UINT id;
    UINT callbackMessage;
    DWORD reserved[3];
};

IconRecord gRecords[16];
HWND gToolbar = nullptr;
std::wstring gLogFile;

void AppendLine(const std::string &line) {
    HANDLE file = CreateFileW(gLogFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

int FindButton(HWND owner, UINT id) {
    const int count = static_cast<int>(SendMessageW(gToolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        SendMessageW(gToolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        const auto *record = reinterpret_cast<const IconRecord *>(button.dwData);
        if (record && record->owner == owner && record->id == id) return i;
    }
    return -1;
}

// Shell_NotifyIcon's request as Wine's shell32 sends it: the message in dwData,
// and a record that begins with the owner window (32 bits) and the icon's id.
LRESULT OnNotifyIcon(const COPYDATASTRUCT &data) {
    if (data.cbData < 8 || !data.lpData) return FALSE;
    const auto *fields = static_cast<const std::uint32_t *>(data.lpData);
    HWND owner = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(fields[0]));
    const UINT id = fields[1];
    const int existing = FindButton(owner, id);
    if (data.dwData == NIM_ADD) {
        IconRecord *free = nullptr;
        for (IconRecord &record : gRecords)
            if (!record.owner) { free = &record; break; }
        if (existing >= 0 || !free) return FALSE;
        *free = {owner, id, 0, {}};
        TBBUTTON button = {};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = static_cast<int>(free - gRecords) + 100;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON;
        button.dwData = reinterpret_cast<DWORD_PTR>(free);
        button.iString = -1;
        SendMessageW(gToolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
        AppendLine("tray add " + std::to_string(id));
        return TRUE;
    }
    if (data.dwData == NIM_DELETE) {
        if (existing < 0) return FALSE;
        TBBUTTON button = {};
        SendMessageW(gToolbar, TB_GETBUTTON, existing, reinterpret_cast<LPARAM>(&button));
        reinterpret_cast<IconRecord *>(button.dwData)->owner = nullptr;
        SendMessageW(gToolbar, TB_DELETEBUTTON, existing, 0);
        AppendLine("tray delete " + std::to_string(id));
        return TRUE;
    }
    return existing >= 0;
}

LRESULT CALLBACK TrayProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COPYDATA && gToolbar) return OnNotifyIcon(*reinterpret_cast<COPYDATASTRUCT *>(lp));
    if (msg == WM_TIMER) DestroyWindow(hwnd);
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void Register(const wchar_t *name, WNDPROC proc) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    RegisterClassW(&wc);
}

HWND Child(const wchar_t *cls, HWND parent) {
    return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 30, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

HWND TopLevel(const wchar_t *cls, const wchar_t *title, DWORD exStyle = 0) {
    return CreateWindowExW(exStyle, cls, title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    gLogFile = commandLine;
    const bool shell = !gLogFile.empty();
    // Topmost, so that Shell_NotifyIcon finds it before the one Wine's desktop keeps.
    const wchar_t *trayClass = shell ? L"Shell_TrayWnd" : L"TesselTestTrayWnd";
    Register(trayClass, TrayProc);
    Register(L"TrayNotifyWnd", DefWindowProcW);
    Register(L"SysPager", DefWindowProcW);
    Register(L"TesselIconOwner", DefWindowProcW);
    Register(L"MessengerMain", DefWindowProcW);
    Register(L"TesselQuietWindow", DefWindowProcW);

    HWND tray = TopLevel(trayClass, L"TesselTestTray", shell ? WS_EX_TOPMOST : 0);
    HWND pager = Child(L"SysPager", Child(L"TrayNotifyWnd", tray));
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 30,
                                   pager, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    if (shell) {
        gToolbar = toolbar;
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        return 0;
    }

    HWND player = TopLevel(L"TesselIconOwner", L"Player 2.0");
    HWND messenger = TopLevel(L"MessengerMain", L"Messenger");
    TopLevel(L"TesselQuietWindow", L"Quiet Window");
    gRecords[0] = {messenger, 1, WM_APP, {}};
    gRecords[1] = {player, 2008, WM_APP, {}};

    // The first button carries no record at all, as a stale icon may.
    TBBUTTON buttons[3] = {};
    for (int i = 0; i < 3; ++i) {
        buttons[i].iBitmap = I_IMAGENONE;
        buttons[i].idCommand = 100 + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
        buttons[i].iString = -1;
    }
    buttons[1].dwData = reinterpret_cast<DWORD_PTR>(&gRecords[0]);
    buttons[2].dwData = reinterpret_cast<DWORD_PTR>(&gRecords[1]);
    SendMessageW(toolbar, TB_ADDBUTTONSW, 3, reinterpret_cast<LPARAM>(buttons));

    // Ends by itself should the test never close it.
    SetTimer(tray, 1, 60000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
