// A stand-in for a component's installer, run by Tessel under Wine. Whatever
// its file name, it appends one line to C:\standin.log when it starts:
//   "<file name> start Driver=<HKLM\SOFTWARE\Parvoni\Driver version, or ->"
// so a test can tell the order of installers and when a version was recorded.
// Named dpinst.exe it stays for four seconds and logs "dpinst.exe end"; any
// other copy that finds a dpinst.exe beside it starts that and ends at once,
// as driver installers do. Named dmbplayer.exe it plays the DMB player instead:
// a window of class "marboDMB" titled "marbo DMB" with notification-area icons
// 1 and 2008, that logs "dmbplayer.exe closed" when it is closed.
#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

const wchar_t kLog[] = L"C:\\standin.log";

std::wstring DriverVersion() {
    wchar_t value[64] = L"-";
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Parvoni\\Driver", L"version", RRF_RT_REG_SZ,
                     nullptr, value, &size) != ERROR_SUCCESS)
        wcscpy(value, L"-");
    return value;
}

void Log(const std::wstring &line) {
    HANDLE file = CreateFileW(kLog, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::wstring text = line + L"\r\n";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size() - 1), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK PlayerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        Log(L"dmbplayer.exe closed");
        PostQuitMessage(0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int RunPlayer() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = PlayerProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"marboDMB";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"marboDMB", L"marbo DMB", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                  0, 240, 120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    for (UINT id : {1u, 2008u}) {
        NOTIFYICONDATAW icon = {};
        icon.cbSize = NOTIFYICONDATAW_V1_SIZE;
        icon.hWnd = window;
        icon.uID = id;
        icon.uFlags = NIF_MESSAGE | NIF_ICON;
        icon.uCallbackMessage = WM_APP;
        icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        Shell_NotifyIconW(NIM_ADD, &icon);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring self = path;
    const size_t slash = self.rfind(L'\\');
    const std::wstring folder = self.substr(0, slash + 1);
    const std::wstring name = self.substr(slash + 1);

    Log(name + L" start Driver=" + DriverVersion());
    if (lstrcmpiW(name.c_str(), L"dmbplayer.exe") == 0) return RunPlayer();
    if (lstrcmpiW(name.c_str(), L"dpinst.exe") == 0) {
        Sleep(4000);
        Log(name + L" end");
        return 0;
    }
    const std::wstring dpinst = folder + L"dpinst.exe";
    if (GetFileAttributesW(dpinst.c_str()) != INVALID_FILE_ATTRIBUTES) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION created{};
        std::wstring commandLine = L"\"" + dpinst + L"\"";
        if (CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &created)) {
            CloseHandle(created.hThread);
            CloseHandle(created.hProcess);
        }
    }
    return 0;
}
