#include "setup/script/folder_tokens.h"

#include "common/text.h"

const wchar_t kProgramFilesToken[] = L"{ProgramFiles}";
const wchar_t kWinDirToken[] = L"{WinDir}";
const wchar_t kWinSysDirToken[] = L"{WinSysDir}";
const wchar_t kInstallDirToken[] = L"{InstallDir}";

std::wstring ExpandSystemFolderTokens(const std::wstring &text, const SetupFolders &folders) {
    std::wstring out = ReplaceAllNoCase(text, kProgramFilesToken, folders.programFiles);
    out = ReplaceAllNoCase(out, kWinDirToken, folders.windows);
    return ReplaceAllNoCase(out, kWinSysDirToken, folders.system);
}

std::wstring ExpandFolderTokens(const std::wstring &text, const SetupFolders &folders) {
    return ReplaceAllNoCase(ExpandSystemFolderTokens(text, folders), kInstallDirToken,
                            folders.install);
}
