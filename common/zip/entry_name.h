#ifndef COMMON_ZIP_ENTRY_NAME_H
#define COMMON_ZIP_ENTRY_NAME_H

#include <string>

// Stored entry names are bytes of an unknown code page; each reader turns them
// into text with a decoder. Both programs pass WidenAnsi (the system's ANSI
// code page); portable code and tests default to Latin-1.
using NameDecoder = std::wstring (*)(const std::string &bytes);

// Each byte as the character of the same number.
std::wstring DecodeNameLatin1(const std::string &bytes);

#endif
