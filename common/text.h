#ifndef COMMON_TEXT_H
#define COMMON_TEXT_H

#include <string>

// Text helpers shared by both programs. Letter case is folded for ASCII only:
// names from the server, file extensions and registry names are compared that way.

wchar_t AsciiUpper(wchar_t c);
std::wstring AsciiUpper(const std::wstring &text);

// -1, 0 or 1 comparing upper-cased characters position by position; texts of
// different length never compare equal.
int CompareNoCase(const std::wstring &a, const std::wstring &b);
bool EqualsNoCase(const std::wstring &a, const std::wstring &b);
// True when `text` begins with `prefix` (letter case ignored). An empty prefix
// matches every text: callers that use a prefix as a criterion test for empty first.
bool StartsWithNoCase(const std::wstring &text, const std::wstring &prefix);
bool EndsWithNoCase(const std::wstring &text, const std::wstring &suffix);
// Position of `needle` in `text` at or after `from`, letter case ignored; npos when absent.
size_t FindNoCase(const std::wstring &text, const std::wstring &needle, size_t from = 0);

// Index of the last `ch` within the first `n` characters (n < 0: the whole text),
// -1 when absent.
int FindLastChar(const std::wstring &text, wchar_t ch, int n = -1);

std::wstring Trim(const std::wstring &text);
std::wstring TrimRight(const std::wstring &text);
// Removes every trailing `ch`.
std::wstring StripTrailing(const std::wstring &text, wchar_t ch);
// Replaces every occurrence of `from` (not empty) by `to`, scanning left to right and
// continuing after each inserted text.
std::wstring ReplaceAll(const std::wstring &text, const std::wstring &from, const std::wstring &to);
// The same, finding `from` without regard to ASCII letter case.
std::wstring ReplaceAllNoCase(const std::wstring &text, const std::wstring &from,
                              const std::wstring &to);
// Replaces `from` by `to` until no occurrence is left (for collapsing runs).
std::wstring ReplaceUntilGone(const std::wstring &text, const std::wstring &from,
                              const std::wstring &to);

// UTF-8 <-> wide text, for portable code that meets byte strings (tests, tools).
std::wstring WidenUtf8(const std::string &utf8);
std::string NarrowUtf8(const std::wstring &wide);

#endif
