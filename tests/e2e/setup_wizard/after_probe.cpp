// Stands in for a package's AfterPath program: writes its whole command line
// (UTF-16) into the file named by its first argument, so that a test can see
// that Complete started it and with which arguments.
#include <windows.h>
#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    LPWSTR *args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count < 2) return 1;
    HANDLE file = CreateFileW(args[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    const wchar_t *line = GetCommandLineW();
    DWORD written = 0;
    WriteFile(file, line, DWORD(lstrlenW(line) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    LocalFree(args);
    return 0;
}
