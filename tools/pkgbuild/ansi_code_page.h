#ifndef TOOLS_PKGBUILD_ANSI_CODE_PAGE_H
#define TOOLS_PKGBUILD_ANSI_CODE_PAGE_H

#include <string>

// Entry names are read by the setup wizard in the target system's ANSI code
// page (949 on a Korean Windows, 1252 on a Western one). Code page 0 stands
// for plain ASCII, which reads the same in every one of them.

// False when a character cannot be written in `codePage` exactly.
bool EncodeAnsi(const std::wstring &text, unsigned codePage, std::string &bytes);
// Bytes that are not valid in `codePage` come back as U+FFFD.
std::wstring DecodeAnsi(const std::string &bytes, unsigned codePage);
// Whether this system can convert to and from `codePage` at all.
bool CodePageAvailable(unsigned codePage);

// The system's conversions behind the three (iconv, or the Windows calls);
// false when the text does not convert exactly.
bool SystemEncode(const std::wstring &text, unsigned codePage, std::string &bytes);
bool SystemDecode(const std::string &bytes, unsigned codePage, std::wstring &text);
bool SystemHasCodePage(unsigned codePage);

#endif
