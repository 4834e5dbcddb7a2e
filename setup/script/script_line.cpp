#include "setup/script/script_line.h"

#include "common/text.h"

const wchar_t kUninstallerEntryName[] = L"Uninstall.exe";

bool SplitAfterFirst(const std::wstring &text, wchar_t separator, std::wstring &before,
                     std::wstring &after) {
    size_t at = text.find(separator);
    if (at == std::wstring::npos || at == 0) return false;
    before = text.substr(0, at);
    after = text.substr(at + 1);
    return true;
}

ScriptLine ParseScriptLine(const std::wstring &entryName) {
    ScriptLine line;
    line.hasSection = SplitAfterFirst(StripTrailing(entryName, L'/'), L'/', line.section,
                                      line.remainder);
    return line;
}

KeyValue SplitKeyValue(const std::wstring &remainder) {
    KeyValue kv;
    kv.valid = SplitAfterFirst(remainder, L'=', kv.key, kv.value);
    return kv;
}

std::vector<std::wstring> SplitFields(const std::wstring &line, size_t maxFields,
                                      size_t maxLength) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    while (fields.size() < maxFields) {
        size_t end = line.find(L'/', start);
        size_t stop = end == std::wstring::npos ? line.size() : end;
        fields.push_back(line.substr(start, std::min(stop - start, maxLength)));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return fields;
}

bool IsSection(const ScriptLine &line, const wchar_t *name) {
    return line.hasSection && EqualsNoCase(line.section, name);
}
