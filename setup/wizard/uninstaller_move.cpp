#include "setup/wizard/uninstaller_move.h"

#include "common/paths.h"
#include "common/text.h"

bool MustMoveOut(const std::wstring &installDir, const std::wstring &programFolder) {
    return !installDir.empty() && EqualsNoCase(installDir, programFolder);
}

std::wstring CopyFolderPath(const std::wstring &windowsDir, uint64_t random) {
    std::wstring name = windowsDir + L"\\Temp\\marboSetup-";
    for (int shift = 60; shift >= 0; shift -= 4) name.push_back(L"0123456789abcdef"[(random >> shift) & 0xF]);
    return name;
}

std::wstring CopyPathIn(const std::wstring &copyFolder, const std::wstring &programPath) {
    return copyFolder + L"\\" + LocalNameOf(programPath);
}
