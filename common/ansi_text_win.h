#ifndef COMMON_ANSI_TEXT_WIN_H
#define COMMON_ANSI_TEXT_WIN_H

#include <string>

// Bytes in the system's ANSI code page <-> wide text (firmware strings, adapter
// descriptions, archive entry names).
std::wstring WidenAnsi(const std::string &bytes);
std::string NarrowAnsi(const std::wstring &text);

#endif
