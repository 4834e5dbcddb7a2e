#include "setup/wizard/destination_rules.h"

#include "common/paths.h"
#include "common/text.h"

std::wstring DestinationFromPick(const std::wstring &picked, const std::wstring &folderName) {
    if (folderName.empty()) return picked;
    const size_t at = FindNoCase(picked, folderName);
    std::wstring result = picked;
    if (at == std::wstring::npos || at == 0) result += L"\\" + folderName;
    return NormaliseLocalPath(result);
}

std::wstring VolumeOf(const std::wstring &installDir) { return installDir.substr(0, 2); }
