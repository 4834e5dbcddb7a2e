#include "updater/catalogue/version_compare.h"

#include <climits>

#include "common/text.h"

namespace {

// Appends the UTF-16 code units of `c` (wchar_t holds whole code points where it
// is 32 bits wide).
void AppendUnits(std::u16string &out, wchar_t c) {
    const unsigned long code = static_cast<unsigned long>(c);
    if (code > 0xFFFF && code <= 0x10FFFF) {
        out.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(code));
    }
}

std::u16string Units(const std::wstring &text) {
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t c : text)
        AppendUnits(out, c);
    return out;
}

int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

int CompareUnits(const std::wstring &a, const std::wstring &b) {
    return Sign(Units(a).compare(Units(b)));
}

struct VersionPart {
    std::wstring text;
    bool numeric = false;
    long long value = 0;
};

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// "0", or an optional "-" and a digit other than 0 followed by digits, inside the
// signed 32-bit range.
bool ParseNumber(const std::wstring &text, long long &value) {
    if (text == L"0") {
        value = 0;
        return true;
    }
    size_t i = (!text.empty() && text[0] == L'-') ? 1 : 0;
    if (i >= text.size() || text[i] < L'1' || text[i] > L'9')
        return false;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            return false;
        magnitude = magnitude * 10 + (text[i] - L'0');
        if (magnitude > 2147483648LL)
            return false;
    }
    value = text[0] == L'-' ? -magnitude : magnitude;
    return value >= INT_MIN && value <= INT_MAX;
}

std::vector<VersionPart> SplitVersion(const std::wstring &version) {
    std::vector<VersionPart> parts;
    if (version.empty())
        return parts;
    size_t start = 0;
    for (;;) {
        const size_t dot = version.find(L'.', start);
        VersionPart part;
        part.text = version.substr(start, dot == std::wstring::npos ? std::wstring::npos : dot - start);
        part.numeric = ParseNumber(part.text, part.value);
        parts.push_back(part);
        if (dot == std::wstring::npos)
            break;
        start = dot + 1;
    }
    return parts;
}

}  // namespace

int CompareVersion(const std::wstring &a, const std::wstring &b) {
    std::vector<VersionPart> left = SplitVersion(a), right = SplitVersion(b);
    if (left.size() < right.size())
        left.resize(right.size());
    if (right.size() < left.size())
        right.resize(left.size());
    for (size_t i = 0; i < left.size(); ++i) {
        int order;
        if (left[i].numeric && right[i].numeric)
            order = left[i].value < right[i].value ? -1 : (left[i].value > right[i].value ? 1 : 0);
        else
            order = CompareUnits(left[i].text, right[i].text);
        if (order != 0)
            return order;
    }
    return 0;
}

bool StartsWithVersionNumber(const std::wstring &name) {
    long long value;
    return ParseNumber(name.substr(0, name.find(L'.')), value);
}

int CompareFileName(const std::wstring &a, const std::wstring &b) {
    auto endsIn = [](const std::wstring &name, const wchar_t *extension) {
        return name.size() >= 4 && EqualsNoCase(name.substr(name.size() - 4), extension);
    };
    if (endsIn(a, L".exe") && endsIn(b, L".zip"))
        return 1;
    if (endsIn(a, L".zip") && endsIn(b, L".exe"))
        return -1;
    return CompareUnits(a, b);
}

bool IsOfferNewer(const std::wstring &offered, const std::wstring &installed) {
    const std::wstring notInstalled = L"-";
    if (offered == notInstalled)
        return false;
    return installed == notInstalled || CompareVersion(offered, installed) > 0;
}

void SortNames(std::vector<std::wstring> &names, NameComparison compare) {
    for (size_t i = 1; i < names.size(); ++i) {
        std::wstring taken = std::move(names[i]);
        size_t place = i;
        while (place > 0 && compare(names[place - 1], taken) == 1) {
            names[place] = std::move(names[place - 1]);
            --place;
        }
        names[place] = std::move(taken);
    }
}
