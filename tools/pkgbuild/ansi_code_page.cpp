#include "tools/pkgbuild/ansi_code_page.h"

namespace {

bool IsAscii(const std::wstring &text) {
    for (wchar_t c : text)
        if (c <= 0 || c >= 0x80) return false;
    return true;
}

}  // namespace

bool EncodeAnsi(const std::wstring &text, unsigned codePage, std::string &bytes) {
    if (IsAscii(text)) {
        bytes.assign(text.begin(), text.end());
        return true;
    }
    return codePage != 0 && SystemEncode(text, codePage, bytes);
}

std::wstring DecodeAnsi(const std::string &bytes, unsigned codePage) {
    std::wstring text;
    if (codePage != 0 && SystemDecode(bytes, codePage, text)) return text;
    text.clear();
    for (unsigned char c : bytes) text += c < 0x80 ? wchar_t(c) : L'\xFFFD';
    return text;
}

bool CodePageAvailable(unsigned codePage) { return codePage == 0 || SystemHasCodePage(codePage); }
