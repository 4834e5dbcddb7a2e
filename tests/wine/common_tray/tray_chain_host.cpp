// Stands in for the shell: a top-level window with the chain
// TrayNotifyWnd > SysPager > ToolbarWindow32 below it, whose buttons carry icon records
// for two owner windows. A third window owns no icon. Closing the tray window
// ends the program. The top-level window has a class of its own rather than
// "Shell_TrayWnd", so that other tests running meanwhile never take it for the
// notification area.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

namespace {

struct IconRecord {  // the 24 bytes the search reads: the owner comes first
    HWND owner;
    UINT id;
    UINT callbackMessage;
    DWORD reserved[3];
};

IconRecord gRecords[2];

LRESULT CALLBACK TrayProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
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

HWND TopLevel(const wchar_t *cls, const wchar_t *title) {
    return CreateWindowExW(0, cls, title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    Register(L"TesselTestTrayWnd", TrayProc);
    Register(L"TrayNotifyWnd", DefWindowProcW);
    Register(L"SysPager", DefWindowProcW);
    Register(L"TesselIconOwner", DefWindowProcW);
    Register(L"MessengerMain", DefWindowProcW);
    Register(L"TesselQuietWindow", DefWindowProcW);

    HWND player = TopLevel(L"TesselIconOwner", L"Player 2.0");
    HWND messenger = TopLevel(L"MessengerMain", L"Messenger");
    TopLevel(L"TesselQuietWindow", L"Quiet Window");
    gRecords[0] = {messenger, 1, WM_APP, {}};
    gRecords[1] = {player, 2008, WM_APP, {}};

    HWND tray = TopLevel(L"TesselTestTrayWnd", L"TesselTestTray");
    HWND pager = Child(L"SysPager", Child(L"TrayNotifyWnd", tray));
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 30,
                                   pager, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
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
