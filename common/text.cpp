#include "common/text.h"

wchar_t AsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? wchar_t(c - L'a' + L'A') : c; }

std::wstring AsciiUpper(const std::wstring &text) {
    std::wstring out(text);
    for (wchar_t &c : out) c = AsciiUpper(c);
    return out;
}

int CompareNoCase(const std::wstring &a, const std::wstring &b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        wchar_t x = AsciiUpper(a[i]), y = AsciiUpper(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool EqualsNoCase(const std::wstring &a, const std::wstring &b) { return CompareNoCase(a, b) == 0; }

bool StartsWithNoCase(const std::wstring &text, const std::wstring &prefix) {
    if (prefix.size() > text.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (AsciiUpper(text[i]) != AsciiUpper(prefix[i])) return false;
    return true;
}

bool EndsWithNoCase(const std::wstring &text, const std::wstring &suffix) {
    if (suffix.size() > text.size()) return false;
    return EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

size_t FindNoCase(const std::wstring &text, const std::wstring &needle, size_t from) {
    if (needle.empty()) return from <= text.size() ? from : std::wstring::npos;
    for (size_t i = from; i + needle.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && AsciiUpper(text[i + k]) == AsciiUpper(needle[k])) ++k;
        if (k == needle.size()) return i;
    }
    return std::wstring::npos;
}

int FindLastChar(const std::wstring &text, wchar_t ch, int n) {
    size_t limit = (n < 0 || size_t(n) > text.size()) ? text.size() : size_t(n);
    for (size_t i = limit; i-- > 0;)
        if (text[i] == ch) return int(i);
    return -1;
}

static bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

std::wstring Trim(const std::wstring &text) {
    size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

std::wstring TrimRight(const std::wstring &text) {
    size_t e = text.size();
    while (e > 0 && IsBlank(text[e - 1])) --e;
    return text.substr(0, e);
}

std::wstring StripTrailing(const std::wstring &text, wchar_t ch) {
    size_t e = text.size();
    while (e > 0 && text[e - 1] == ch) --e;
    return text.substr(0, e);
}

namespace {

std::wstring Replace(const std::wstring &text, const std::wstring &from, const std::wstring &to,
                     bool ignoreCase) {
    if (from.empty()) return text;
    std::wstring out;
    out.reserve(text.size());
    size_t pos = 0;
    for (;;) {
        size_t hit = ignoreCase ? FindNoCase(text, from, pos) : text.find(from, pos);
        if (hit == std::wstring::npos) break;
        out.append(text, pos, hit - pos);
        out += to;
        pos = hit + from.size();
    }
    out.append(text, pos, std::wstring::npos);
    return out;
}

}  // namespace

std::wstring ReplaceAll(const std::wstring &text, const std::wstring &from,
                        const std::wstring &to) {
    return Replace(text, from, to, false);
}

std::wstring ReplaceAllNoCase(const std::wstring &text, const std::wstring &from,
                              const std::wstring &to) {
    return Replace(text, from, to, true);
}

std::wstring ReplaceUntilGone(const std::wstring &text, const std::wstring &from,
                              const std::wstring &to) {
    if (from.empty() || to.find(from) != std::wstring::npos) return ReplaceAll(text, from, to);
    std::wstring out = text;
    while (out.find(from) != std::wstring::npos) out = ReplaceAll(out, from, to);
    return out;
}

std::wstring WidenUtf8(const std::string &s) {
    std::wstring out;
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = s[i];
        unsigned cp;
        size_t len;
        if (c < 0x80) {
            cp = c;
            len = 1;
        } else if ((c >> 5) == 6) {
            cp = c & 0x1F;
            len = 2;
        } else if ((c >> 4) == 14) {
            cp = c & 0x0F;
            len = 3;
        } else if ((c >> 3) == 30) {
            cp = c & 0x07;
            len = 4;
        } else {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        if (i + len > s.size()) {
            out += L'\xFFFD';
            break;
        }
        bool ok = true;
        for (size_t k = 1; k < len; ++k) {
            unsigned char d = s[i + k];
            if ((d >> 6) != 2) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (d & 0x3F);
        }
        if (!ok) {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        i += len;
        if (sizeof(wchar_t) == 2 && cp > 0xFFFF) {
            cp -= 0x10000;
            out += wchar_t(0xD800 + (cp >> 10));
            out += wchar_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += wchar_t(cp);
        }
    }
    return out;
}

std::string NarrowUtf8(const std::wstring &w) {
    std::string out;
    for (size_t i = 0; i < w.size(); ++i) {
        unsigned cp = unsigned(w[i]);
        if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp < 0xDC00 && i + 1 < w.size()) {
            unsigned lo = unsigned(w[i + 1]);
            if (lo >= 0xDC00 && lo < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                ++i;
            }
        }
        if (cp < 0x80)
            out += char(cp);
        else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    return out;
}
