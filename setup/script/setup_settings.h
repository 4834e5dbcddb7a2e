#ifndef SETUP_SCRIPT_SETUP_SETTINGS_H
#define SETUP_SCRIPT_SETUP_SETTINGS_H

#include <cstdint>
#include <functional>
#include <string>

#include "setup/script/folder_tokens.h"
#include "setup/script/setup_markers.h"

// What start-up reads from the package's script. One record per process:
// start-up fills it before any window exists; the wizard pages and the engines
// read it afterwards (the destination page also changes InstallDir).
struct SetupSettings {
    SetupMode Mode = SetupMode::None;
    std::wstring ProgramFilesDir, WindowsDir, SystemDir;
    std::wstring Title, Prefix, Name, Version, Suffix;
    std::wstring InstallDir;         // expanded and unescaped
    std::wstring InstallFolderName;  // last component of InstallDir, used by Browse
    std::wstring HasFiles;           // "TRUE" when the script has File lines
    std::wstring AfterPath, AfterParam, AfterReboot;
    double RequiredBytes = 0;        // uncompressed size of every entry

    SetupFolders Folders() const;
};

SetupSettings &ProcessSetupSettings();

// Title, " - " and Prefix (when there is one), then Version (when there is one)
// after a space, which is left out when the caption so far ends in " v.".
std::wstring ProductCaption(const SetupSettings &settings);
std::wstring ProductCaption();

// The last "\"-separated component before the first empty one, among at most
// 100 components ("C:\Program Files\Viewer" gives "Viewer").
std::wstring InstallFolderNameOf(const std::wstring &installDir);

// Fills a settings record from the archive's entries, in archive order.
// Each stored value is also reported to `trace` as "Key=value".
class SetupScriptReader {
public:
    using Trace = std::function<void(const std::wstring &)>;
    SetupScriptReader(SetupSettings &settings, Trace trace = nullptr);

    void AddEntry(const std::wstring &name, double uncompressedSize);
    // Expands and unescapes InstallDir and derives InstallFolderName.
    void Finish();

private:
    void Store(std::wstring &field, const wchar_t *key, const std::wstring &value);

    SetupSettings &settings_;
    Trace trace_;
};

#endif
