#ifndef COMMON_REGISTRY_PATH_H
#define COMMON_REGISTRY_PATH_H

#include <cstdint>
#include <string>
#include <vector>

// Registry key paths written as text: a root name, a backslash and the sub-key path
// ("HKEY_LOCAL_MACHINE\SOFTWARE\Parvoni\Tessel").

enum class RegistryRoot { None, ClassesRoot, CurrentConfig, CurrentUser, LocalMachine, Users };

// One of the five full root names ("HKEY_LOCAL_MACHINE", ...), letter case ignored;
// None for anything else, abbreviations included.
RegistryRoot ParseRegistryRoot(const std::wstring &name);

struct RegistryPath {
    RegistryRoot root = RegistryRoot::None;
    std::wstring subKey;
    bool hasBackslash = false;  // false: the text named a root alone
};

// Splits at the first backslash. False when the root name is unknown, or when a
// backslash is followed by nothing (an empty sub-key never names a key).
bool SplitRegistryPath(const std::wstring &path, RegistryPath &out);

// The bytes of a binary value written as hexadecimal digits: every other character
// is skipped, the digits are taken in pairs, and an odd count makes the first digit
// a byte by itself ("A BC DE" -> 0A BC DE).
std::vector<std::uint8_t> ParseHexBytes(const std::wstring &text);

// A REG_SZ value's bytes as text: stops at the first terminator, ignores an odd
// trailing byte, and needs no terminator at all.
std::wstring RegistryBytesToText(const std::vector<std::uint8_t> &bytes);

#endif
