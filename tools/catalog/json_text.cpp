#include "tools/catalog/json_text.h"

#include <cstdio>

#include "common/text.h"

std::string JsonString(const std::wstring &text) {
    std::string out = "\"";
    for (char c : NarrowUtf8(text)) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}
