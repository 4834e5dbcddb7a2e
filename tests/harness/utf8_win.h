#ifndef TESTS_HARNESS_UTF8_WIN_H
#define TESTS_HARNESS_UTF8_WIN_H

#include <string>

// UTF-16 text as UTF-8, for test messages and files that Unix tools read.
std::string Utf8(const std::wstring &text);

#endif
