#include "setup/engine/install_script.h"

#include <cstdint>
#include <limits>

#include "common/text.h"
#include "setup/script/script_line.h"

bool ParseFileTarget(const std::wstring &remainder, bool folderEntry, FileTarget &out) {
    KeyValue kv = SplitKeyValue(remainder);
    if (!kv.valid || !EqualsNoCase(kv.key, L"Target")) return false;
    FileTarget target;
    if (!SplitAfterFirst(kv.value, L'/', target.folder, target.relative)) return false;
    target.folder = ReplaceAll(target.folder, L"/", L"\\");
    target.relative = ReplaceAll(target.relative, L"/", L"\\");
    if (folderEntry) target.relative = ReplaceAll(target.relative + L"/", L"//", L"/");
    out = target;
    return true;
}

namespace {

std::wstring FieldOf(const std::vector<std::wstring> &fields, size_t index) {
    return index < fields.size() ? fields[index] : std::wstring();
}

}  // namespace

RegistryLine ParseRegistryLine(const std::wstring &entryName) {
    std::vector<std::wstring> f = SplitFields(StripTrailing(entryName, L'/'));
    return RegistryLine{FieldOf(f, 1), FieldOf(f, 2), FieldOf(f, 3), FieldOf(f, 4)};
}

ShortcutLine ParseShortcutLine(const std::wstring &entryName) {
    std::vector<std::wstring> f = SplitFields(StripTrailing(entryName, L'/'));
    return ShortcutLine{FieldOf(f, 1), FieldOf(f, 2), FieldOf(f, 3), FieldOf(f, 4), FieldOf(f, 5)};
}

std::wstring WorkingFolderOf(const std::wstring &target) {
    size_t last = target.rfind(L'\\');
    return last == std::wstring::npos ? std::wstring() : target.substr(0, last);
}

uint32_t ParseDwordData(const std::string &ansiText) {
    std::string text = ansiText.substr(0, kDwordTextBytes);
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t magnitude = 0;
    const int64_t limit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) magnitude = limit;
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
    return static_cast<uint32_t>(static_cast<int32_t>(value));
}
