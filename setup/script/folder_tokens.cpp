#include "setup/script/folder_tokens.h"

#include "common/text.h"

const wchar_t kProgramFilesToken[] = L"{ProgramFiles}";
const wchar_t kWinDirToken[] = L"{WinDir}";
const wchar_t kWinSysDirToken[] = L"{WinSysDir}";
const wchar_t kInstallDirToken[] = L"{InstallDir}";

std::wstring ReplaceToken(const std::wstring &text, const std::wstring &token,
                          const std::wstring &folder) {
    if (token.empty()) return text;
    std::wstring out;
    size_t pos = 0;
    for (;;) {
        size_t hit = FindNoCase(text, token, pos);
        if (hit == std::wstring::npos) break;
        out.append(text, pos, hit - pos);
        out += folder;
        pos = hit + token.size();
    }
    out.append(text, pos, std::wstring::npos);
    return out;
}

std::wstring ExpandSystemFolderTokens(const std::wstring &text, const SetupFolders &folders) {
    std::wstring out = ReplaceToken(text, kProgramFilesToken, folders.programFiles);
    out = ReplaceToken(out, kWinDirToken, folders.windows);
    return ReplaceToken(out, kWinSysDirToken, folders.system);
}

std::wstring ExpandFolderTokens(const std::wstring &text, const SetupFolders &folders) {
    return ReplaceToken(ExpandSystemFolderTokens(text, folders), kInstallDirToken,
                        folders.install);
}
