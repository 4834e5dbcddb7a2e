#ifndef TOOLS_CATALOG_REGISTRY_EXPORT_H
#define TOOLS_CATALOG_REGISTRY_EXPORT_H

#include <map>
#include <string>

#include "common/text_list_table.h"

// The keys and values of a registry export (".reg" text, as regedit writes it:
// "REGEDIT4" or "Windows Registry Editor Version 5.00", UTF-16 or 8-bit text).
// Only what a version lookup needs is kept: which keys exist, and each value's
// type and, for strings, its text.
struct RegistryValue {
    bool isString = false;  // REG_SZ; every other type is kept as "not a string"
    std::wstring text;
};

class RegistryExport {
public:
    // Throws std::runtime_error with "line N: why" for text that is not an export.
    static RegistryExport Parse(const std::wstring &text);

    // Key paths as "HKEY_LOCAL_MACHINE\SOFTWARE\..." (letter case ignored). A key
    // exists when the export names it or any key below it.
    bool KeyExists(const std::wstring &path) const;
    // Null when the key or the value is absent; "" names the key's default value.
    const RegistryValue *Value(const std::wstring &path, const std::wstring &name) const;

private:
    using Values = std::map<std::wstring, RegistryValue, NoCaseLess>;
    std::map<std::wstring, Values, NoCaseLess> m_keys;
};

// True when `text` starts like a registry export.
bool LooksLikeRegistryExport(const std::wstring &text);

// Text of a file that may be UTF-16 (with its byte order mark) or UTF-8.
std::wstring DecodeTextFile(const std::string &bytes);

#endif
