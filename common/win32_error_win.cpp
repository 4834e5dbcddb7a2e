#include "common/win32_error_win.h"

#include <cwchar>

std::wstring Win32ErrorText(DWORD code) {
    wchar_t *buffer = nullptr;
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                  FORMAT_MESSAGE_IGNORE_INSERTS;
    // WinInet's codes (12000-12175) live in its own module's message table.
    HMODULE wininet = nullptr;
    if (code >= 12000 && code <= 12175) {
        wininet = GetModuleHandleW(L"wininet.dll");
        if (wininet) flags |= FORMAT_MESSAGE_FROM_HMODULE;
    }
    DWORD length = FormatMessageW(flags, wininet, code, 0, reinterpret_cast<wchar_t *>(&buffer),
                                  0, nullptr);
    std::wstring text;
    if (length && buffer) text.assign(buffer, length);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                             text.back() == L'.'))
        text.pop_back();
    if (text.empty()) {
        wchar_t fallback[32];
        std::swprintf(fallback, 32, L"Error %lu", static_cast<unsigned long>(code));
        text = fallback;
    }
    return text;
}
