// Screenshots from inside a Windows test: Wine starts a Unix program named
// in CreateProcessW's command line, but its process handle does not follow
// that program, so the caller waits for the picture file instead.
#include "tests/driver/window_driver.h"

#include "tests/driver/polling.h"

#include <string>

#ifndef WINDRIVER_SCREENSHOT_SCRIPT
#define WINDRIVER_SCREENSHOT_SCRIPT ""
#endif

namespace windriver {

namespace {

std::wstring Widen(const char *text) {
    int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (n <= 1) return std::wstring();
    std::wstring wide(n - 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], n);
    return wide;
}

std::wstring ScriptPath() {
    wchar_t value[1024];
    DWORD n = GetEnvironmentVariableW(L"TESSEL_SCREENSHOT", value, 1024);
    if (n > 0 && n < 1024) return value;
    return Widen(WINDRIVER_SCREENSHOT_SCRIPT);
}

// Wine's own export turns a Windows path into the Unix one the script needs.
std::wstring UnixPath(const std::wstring &windowsPath) {
    using ToUnix = char *(CDECL *)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return std::wstring();
    char *unix = toUnix(windowsPath.c_str());
    if (!unix) return std::wstring();
    std::wstring path = Widen(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

LONGLONG FileSize(const std::wstring &path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

bool TakeScreenshot(const std::wstring &pngPath, DWORD timeoutMs) {
    const std::wstring script = ScriptPath();
    if (script.empty()) return false;
    wchar_t full[MAX_PATH];
    DWORD n = GetFullPathNameW(pngPath.c_str(), MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH) return false;
    const std::wstring target = UnixPath(full);
    if (target.empty()) return false;
    DeleteFileW(full);  // the script renames the finished picture into place

    Process shell;
    if (!shell.Start(QuoteArgument(L"/bin/sh") + L" " + QuoteArgument(script) + L" " +
                     QuoteArgument(target)))
        return false;
    return PollUntil([&] { return FileSize(full) > 0; }, timeoutMs);
}

}  // namespace windriver
