#ifndef SETUP_SCRIPT_FOLDER_TOKENS_H
#define SETUP_SCRIPT_FOLDER_TOKENS_H

#include <string>

// The folders that the setup folder tokens stand for.
struct SetupFolders {
    std::wstring programFiles;  // {ProgramFiles}
    std::wstring windows;       // {WinDir}
    std::wstring system;        // {WinSysDir}
    std::wstring install;       // {InstallDir}
};

extern const wchar_t kProgramFilesToken[];
extern const wchar_t kWinDirToken[];
extern const wchar_t kWinSysDirToken[];
extern const wchar_t kInstallDirToken[];

// Replaces {ProgramFiles}, {WinDir}, {WinSysDir} and {InstallDir}, in that order
// and letter case ignored. Each pass continues after the text it inserted, so an
// inserted folder is never expanded again by the same token. The shortcut
// folder tokens ({StartMenu}, ...) are left for the shell helpers.
std::wstring ExpandFolderTokens(const std::wstring &text, const SetupFolders &folders);
// The first three tokens only (start-up expands InstallDir itself this way).
std::wstring ExpandSystemFolderTokens(const std::wstring &text, const SetupFolders &folders);

#endif
