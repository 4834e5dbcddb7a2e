#include "tests/harness/utf8_win.h"

#include <windows.h>

std::string Utf8(const std::wstring &text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string utf8(size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), &utf8[0], n, nullptr,
                            nullptr);
    return utf8;
}
