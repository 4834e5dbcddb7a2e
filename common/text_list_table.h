#ifndef COMMON_TEXT_LIST_TABLE_H
#define COMMON_TEXT_LIST_TABLE_H

#include <map>
#include <string>
#include <vector>

#include "common/text.h"

// Orders keys as the server's names are compared: ASCII letter case ignored.
struct NoCaseLess {
    bool operator()(const std::wstring &a, const std::wstring &b) const {
        return CompareNoCase(a, b) < 0;
    }
};

using TextList = std::vector<std::wstring>;

// A map from a text key to a list of texts: file name -> size texts from a server
// listing, or local path -> remote texts handed to a download.
using TextListTable = std::map<std::wstring, TextList, NoCaseLess>;

#endif
