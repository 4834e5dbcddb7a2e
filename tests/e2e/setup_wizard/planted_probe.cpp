// Stands in for a file an ordinary user plants in the Windows Temp folder: as a
// program (a pre-created Uninstall.exe) or as a DLL that system libraries load
// by name. Run or loaded, it leaves "<its own path>.ran" beside itself, so a
// test can see that an elevated program used it.
#include <windows.h>

namespace {

void LeaveMarker(HMODULE self) {
    wchar_t path[MAX_PATH + 8];
    const DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    lstrcatW(path, L".ran");
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

}  // namespace

#ifdef PLANTED_DLL
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) LeaveMarker(instance);
    return TRUE;
}
#else
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    LeaveMarker(instance);
    return 0;
}
#endif
