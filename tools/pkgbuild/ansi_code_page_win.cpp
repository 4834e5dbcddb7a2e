#include <windows.h>

#include "tools/pkgbuild/ansi_code_page.h"

bool SystemEncode(const std::wstring &text, unsigned codePage, std::string &bytes) {
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.c_str(), int(text.size()),
                                nullptr, 0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    bytes.assign(size_t(n), '\0');
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.c_str(), int(text.size()), &bytes[0],
                        n, nullptr, &usedDefault);
    return !usedDefault;
}

bool SystemDecode(const std::string &bytes, unsigned codePage, std::wstring &text) {
    int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                                nullptr, 0);
    if (n <= 0) return bytes.empty();
    text.assign(size_t(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), &text[0], n);
    return true;
}

bool SystemHasCodePage(unsigned codePage) { return IsValidCodePage(codePage) != FALSE; }
