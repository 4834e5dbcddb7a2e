#include "setup/wizard/uninstaller_move.h"

#include "common/paths.h"
#include "common/text.h"

bool MustMoveOut(const std::wstring &installDir, const std::wstring &programFolder) {
    return !installDir.empty() && EqualsNoCase(installDir, programFolder);
}

std::wstring TempFolderOf(const std::wstring &windowsDir) { return windowsDir + L"\\Temp"; }

std::wstring TempCopyPath(const std::wstring &windowsDir, const std::wstring &programPath) {
    return TempFolderOf(windowsDir) + L"\\" + LocalNameOf(programPath);
}
