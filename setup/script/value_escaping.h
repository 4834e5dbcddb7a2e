#ifndef SETUP_SCRIPT_VALUE_ESCAPING_H
#define SETUP_SCRIPT_VALUE_ESCAPING_H

#include <string>

// The archive stores "\" as "/" and "/" separates fields, so values carry ":",
// "/" and "\" as "%3A", "%2F" and "%5C".
//
// EscapeValue leaves an already escaped text as it is (except that "%5C%5C"
// becomes one escape) and collapses doubled backslashes. UnescapeValue turns a
// raw "/" into "\", while an escaped "/" comes back as "/".
std::wstring EscapeValue(const std::wstring &value);
std::wstring UnescapeValue(const std::wstring &value);

#endif
