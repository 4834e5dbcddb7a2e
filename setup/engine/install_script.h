#ifndef SETUP_ENGINE_INSTALL_SCRIPT_H
#define SETUP_ENGINE_INSTALL_SCRIPT_H

#include <cstdint>
#include <string>
#include <vector>

// How the install engine reads the payload's entry names. Everything here is
// still in the script's form: folder tokens and escapes are left to the
// caller, who records the written form and acts on the expanded one.

// A File/Target line: "File/Target=<folder>/<relative path>".
struct FileTarget {
    std::wstring folder;    // "{InstallDir}"
    std::wstring relative;  // "\" separators; a folder entry ends in "/"
};

// False when the remainder is not a Target key or its value has no "/" after
// position 0 (the entry is skipped then).
bool ParseFileTarget(const std::wstring &remainder, bool folderEntry, FileTarget &out);

// "Registry/<key path>/<value name>/<data>/<type>"; missing fields are empty.
struct RegistryLine {
    std::wstring keyPath, valueName, data, type;
};
RegistryLine ParseRegistryLine(const std::wstring &entryName);

// "Shortcut/<folder>/<link name>/<description>/<target>/<arguments>".
struct ShortcutLine {
    std::wstring folder, name, description, target, arguments;
};
ShortcutLine ParseShortcutLine(const std::wstring &entryName);

// The folder a shortcut starts in: its target up to the last "\" (empty when
// the target has none).
std::wstring WorkingFolderOf(const std::wstring &target);

// REG_DWORD data: the ANSI text cut to this many bytes is read as a signed
// decimal number.
constexpr size_t kDwordTextBytes = 20;

// Leading blanks, an optional sign and the leading digits, as the C runtime's
// atoi reads them ("12abc" gives 12, no digits give 0); a number beyond the
// 32-bit signed range gives the nearest end of that range. The result is
// stored as the value's 32 bits ("-1" is 0xFFFFFFFF).
uint32_t ParseDwordData(const std::string &ansiText);

#endif
