#ifndef SETUP_SCRIPT_SCRIPT_LINE_H
#define SETUP_SCRIPT_SCRIPT_LINE_H

#include <string>
#include <vector>

// One setup-script line is one archive entry name: "Section/Key=Value",
// "Section/Field1/Field2/...", or the bare "Uninstall.exe". Trailing "/" (folder
// entries) are stripped before parsing. Section names, keys, type names and
// tokens compare without regard to ASCII letter case.

extern const wchar_t kUninstallerEntryName[];  // "Uninstall.exe"

struct ScriptLine {
    bool hasSection = false;  // false: no "/" after position 0
    std::wstring section;     // text before the first "/"
    std::wstring remainder;   // text after it
};

ScriptLine ParseScriptLine(const std::wstring &entryName);

struct KeyValue {
    bool valid = false;  // false: no "=" or an empty key
    std::wstring key;
    std::wstring value;  // everything after the first "=", "/" and "=" included
};

KeyValue SplitKeyValue(const std::wstring &remainder);

// Splits a whole line at "/" into at most `maxFields` fields, each cut to
// `maxLength` characters (the engines read Registry and Shortcut lines this way;
// text beyond the last field is dropped).
std::vector<std::wstring> SplitFields(const std::wstring &line, size_t maxFields = 100,
                                      size_t maxLength = 260);

// Splits at the first `separator` found after position 0; false when there is none.
bool SplitAfterFirst(const std::wstring &text, wchar_t separator, std::wstring &before,
                     std::wstring &after);

bool IsSection(const ScriptLine &line, const wchar_t *name);

#endif
