#ifndef TOOLS_CATALOG_JSON_TEXT_H
#define TOOLS_CATALOG_JSON_TEXT_H

#include <string>

// `text` as a JSON string literal (UTF-8, quotes included).
std::string JsonString(const std::wstring &text);

#endif
