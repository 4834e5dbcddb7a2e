#include "tools/catalog/registry_export.h"

#include <stdexcept>
#include <vector>

#include "common/text.h"

namespace {

const wchar_t kHeader4[] = L"REGEDIT4";
const wchar_t kHeader5[] = L"Windows Registry Editor Version 5.00";

// Lines with the export's continuations ("\" at a line's end) joined.
std::vector<std::pair<int, std::wstring>> LogicalLines(const std::wstring &text) {
    std::vector<std::pair<int, std::wstring>> lines;
    std::wstring current;
    int number = 0, first = 0;
    bool continued = false;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        ++number;
        if (!continued) {
            current.clear();
            first = number;
        } else {
            line = Trim(line);
        }
        // Only hex data is continued: a text value ends in its quote, a key in "]".
        continued = !line.empty() && line.back() == L'\\';
        if (continued) line.pop_back();
        current += line;
        if (!continued) lines.emplace_back(first, current);
        start = end + 1;
    }
    return lines;
}

[[noreturn]] void Fail(int line, const std::string &why) {
    throw std::runtime_error("line " + std::to_string(line) + ": " + why);
}

// A quoted text from `pos` (at the opening quote); `pos` ends after the closing one.
std::wstring QuotedText(const std::wstring &line, size_t &pos, int number) {
    std::wstring out;
    for (++pos; pos < line.size(); ++pos) {
        wchar_t c = line[pos];
        if (c == L'"') {
            ++pos;
            return out;
        }
        if (c == L'\\' && pos + 1 < line.size()) c = line[++pos];
        out += c;
    }
    Fail(number, "a quoted text does not end");
}

}  // namespace

std::wstring DecodeTextFile(const std::string &bytes) {
    auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
        std::wstring out;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            unsigned unit = at(i) | at(i + 1) << 8;
            if (sizeof(wchar_t) == 4 && unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
                unsigned low = at(i + 2) | at(i + 3) << 8;
                if (low >= 0xDC00 && low < 0xE000) {
                    out += wchar_t(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                    i += 2;
                    continue;
                }
            }
            out += wchar_t(unit);
        }
        return out;
    }
    if (bytes.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF)
        return WidenUtf8(bytes.substr(3));
    return WidenUtf8(bytes);
}

bool LooksLikeRegistryExport(const std::wstring &text) {
    const std::wstring start = Trim(text.substr(0, text.find(L'\n')));
    return start == kHeader4 || start == kHeader5;
}

RegistryExport RegistryExport::Parse(const std::wstring &text) {
    if (!LooksLikeRegistryExport(text))
        Fail(1, "not a registry export (the first line must be \"REGEDIT4\" or \"Windows "
                "Registry Editor Version 5.00\")");
    RegistryExport result;
    Values *key = nullptr;
    bool skipped = false;  // a "[-KEY]" deletion: its values do not count either
    const auto lines = LogicalLines(text);
    for (size_t i = 1; i < lines.size(); ++i) {
        const int number = lines[i].first;
        const std::wstring line = Trim(lines[i].second);
        if (line.empty() || line[0] == L';') continue;
        if (line[0] == L'[') {
            if (line.back() != L']') Fail(number, "a key line must end in \"]\"");
            std::wstring path = line.substr(1, line.size() - 2);
            skipped = !path.empty() && path[0] == L'-';
            key = skipped ? nullptr : &result.m_keys[StripTrailing(path, L'\\')];
            continue;
        }
        if (skipped) continue;
        if (!key) Fail(number, "a value before the first key");
        size_t pos = 0;
        std::wstring name;
        if (line[0] == L'@') {
            pos = 1;
        } else if (line[0] == L'"') {
            name = QuotedText(line, pos, number);
        } else {
            Fail(number, "a value line must start with \"@\" or a quoted name");
        }
        if (pos >= line.size() || line[pos] != L'=') Fail(number, "\"=\" expected after the value name");
        const std::wstring data = line.substr(pos + 1);
        RegistryValue value;
        if (data == L"-") {
            key->erase(name);
            continue;
        }
        if (!data.empty() && data[0] == L'"') {
            size_t at = 0;
            value.isString = true;
            value.text = QuotedText(data, at, number);
        } else if (!StartsWithNoCase(data, L"dword:") && !StartsWithNoCase(data, L"hex")) {
            Fail(number, "unknown value data");
        }
        (*key)[name] = value;
    }
    return result;
}

bool RegistryExport::KeyExists(const std::wstring &path) const {
    const std::wstring wanted = StripTrailing(path, L'\\');
    for (const auto &key : m_keys) {
        if (EqualsNoCase(key.first, wanted) || StartsWithNoCase(key.first, wanted + L"\\"))
            return true;
    }
    return false;
}

const RegistryValue *RegistryExport::Value(const std::wstring &path, const std::wstring &name) const {
    auto key = m_keys.find(StripTrailing(path, L'\\'));
    if (key == m_keys.end()) return nullptr;
    auto value = key->second.find(name);
    return value == key->second.end() ? nullptr : &value->second;
}
