// Feeds arbitrary entry names to the readers of payload lines and of the
// uninstall record (an uninstaller's record can be damaged or tampered with).
// Lines are separated by "\n"; each byte is one character, as names from the
// ANSI code page arrive. Every record the engine writes must read back as the
// pairs it was written from.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/progress_position.h"
#include "setup/engine/install_script.h"
#include "setup/engine/uninstall_record.h"
#include "setup/script/value_escaping.h"

namespace {

std::vector<std::wstring> Lines(const uint8_t *data, size_t size) {
    std::vector<std::wstring> lines(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            lines.emplace_back();
        else
            lines.back() += wchar_t(data[i]);
    }
    return lines;
}

void ReadAsPayloadAndRecord(const std::wstring &line) {
    ParseRecordEntry(line);
    ParseRegistryLine(line);
    ParseShortcutLine(line);
    FileTarget target;
    ParseFileTarget(line, !line.empty() && line.back() == L'/', target);
    std::wstring root, rest;
    SplitRootPrefix(line, root, rest);
    IsFullyQualifiedPath(UnescapeValue(line));
    UninstallCommandLine(line);
    UninstallKeyPath(line);
    WorkingFolderOf(line);
    std::string narrow(line.begin(), line.end());
    ParseDwordData(narrow.substr(0, kDwordTextBytes));
}

// Registry lines survive the record whole: what was written is what is read.
void CheckRegistryRoundTrip(const std::vector<std::wstring> &lines) {
    if (lines.size() < 2 || lines[0].empty() || lines[1].empty()) return;
    RecordLists lists;
    lists.registry.emplace_back(lines[0], lines[1]);
    SetupSettings settings;
    for (const std::wstring &written : UninstallRecordLines(settings, lists)) {
        // The archive stores "\" as "/" and the line as a folder entry.
        std::wstring stored = written;
        for (wchar_t &c : stored)
            if (c == L'\\') c = L'/';
        stored += L'/';
        RecordAction action = ParseRecordEntry(stored);
        if (action.kind != RecordAction::Kind::Registry) continue;
        if (UnescapeValue(action.first) != UnescapeValue(EscapeValue(lines[0])) ||
            UnescapeValue(action.second) != UnescapeValue(EscapeValue(lines[1])))
            abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<std::wstring> lines = Lines(data, size);
    for (const std::wstring &line : lines) ReadAsPayloadAndRecord(line);
    CheckRegistryRoundTrip(lines);
    return 0;
}
