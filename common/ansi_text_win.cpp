#include "common/ansi_text_win.h"

#include <windows.h>

std::wstring WidenAnsi(const std::string &bytes) {
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    int n = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, bytes.data(), size, nullptr, 0);
    std::wstring text(n > 0 ? n : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, bytes.data(), size, &text[0], n);
    return text;
}

std::string NarrowAnsi(const std::wstring &text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), size, &bytes[0], n, nullptr, nullptr);
    return bytes;
}
