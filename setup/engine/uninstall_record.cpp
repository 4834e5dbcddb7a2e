#include "setup/engine/uninstall_record.h"

#include "common/text.h"
#include "setup/script/script_line.h"
#include "setup/script/value_escaping.h"

void RecordLists::Clear() {
    files.clear();
    registry.clear();
    shortcuts.clear();
}

namespace {

void AddPairLines(std::vector<std::wstring> &lines, const wchar_t *section,
                  const std::vector<RecordPair> &pairs) {
    for (const RecordPair &p : pairs)
        lines.push_back(std::wstring(section) + L"\\" + EscapeValue(p.first) + L"\\" +
                        EscapeValue(p.second));
}

// The stored form ends in "/" (folder entry); the reader keeps 259 characters.
bool FitsReader(const std::wstring &line) {
    bool endsInSeparator = !line.empty() && (line.back() == L'/' || line.back() == L'\\');
    return line.size() + (endsInSeparator ? 0 : 1) <= kMaxRecordEntryName;
}

}  // namespace

std::vector<std::wstring> UninstallRecordLines(const SetupSettings &s, const RecordLists &lists) {
    std::vector<std::wstring> lines;
    const std::pair<const wchar_t *, const std::wstring *> general[] = {
        {L"Title", &s.Title},   {L"Prefix", &s.Prefix}, {L"Name", &s.Name},
        {L"Version", &s.Version}, {L"Suffix", &s.Suffix}, {L"InstallDir", &s.InstallDir},
    };
    for (const auto &g : general)
        lines.push_back(std::wstring(L"General\\") + g.first + L"=" + EscapeValue(*g.second));
    AddPairLines(lines, L"File", lists.files);
    lines.push_back(L"File\\{InstallDir}\\Uninstall.exe");
    AddPairLines(lines, L"Registry", lists.registry);
    AddPairLines(lines, L"Shortcut", lists.shortcuts);

    std::vector<std::wstring> kept;
    for (std::wstring &line : lines)
        if (FitsReader(line)) kept.push_back(std::move(line));
    return kept;
}

RecordAction ParseRecordEntry(const std::wstring &entryName) {
    RecordAction action;
    ScriptLine line = ParseScriptLine(entryName);
    if (!line.hasSection) return action;
    RecordAction::Kind kind = RecordAction::Kind::None;
    if (IsSection(line, L"File"))
        kind = RecordAction::Kind::File;
    else if (IsSection(line, L"Registry"))
        kind = RecordAction::Kind::Registry;
    else if (IsSection(line, L"Shortcut"))
        kind = RecordAction::Kind::Shortcut;
    if (kind == RecordAction::Kind::None) return action;
    if (!SplitAfterFirst(line.remainder, L'/', action.first, action.second)) return action;
    action.kind = kind;
    return action;
}

const wchar_t kUninstallKeyBase[] =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::wstring UninstallKeyPath(const std::wstring &title) {
    if (title.empty()) return std::wstring();
    return kUninstallKeyBase + title;
}

std::wstring UninstallCommandLine(const std::wstring &installDir) {
    return ReplaceUntilGone(L"\"" + installDir + L"\\Uninstall.exe\"", L"\\\\", L"\\");
}

bool SplitRootPrefix(const std::wstring &keyPath, std::wstring &rootName, std::wstring &rest) {
    static const wchar_t *const roots[] = {L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER",
                                           L"HKEY_LOCAL_MACHINE", L"HKEY_USERS",
                                           L"HKEY_CURRENT_CONFIG"};
    for (const wchar_t *root : roots) {
        std::wstring prefix = std::wstring(root) + L"\\";
        if (StartsWithNoCase(keyPath, prefix)) {
            rootName = root;
            rest = keyPath.substr(prefix.size());
            return true;
        }
    }
    return false;
}

bool IsFullyQualifiedPath(const std::wstring &path) {
    if (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) {
        wchar_t drive = AsciiUpper(path[0]);
        return drive >= L'A' && drive <= L'Z';
    }
    return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\';
}
