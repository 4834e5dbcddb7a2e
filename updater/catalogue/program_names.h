#ifndef UPDATER_CATALOGUE_PROGRAM_NAMES_H
#define UPDATER_CATALOGUE_PROGRAM_NAMES_H

#include <string>

// What a server component installs, by the component's name (letter case ignored).

struct ProgramNames {
    std::wstring programFile;          // e.g. "dmbplayer.exe"
    std::wstring shortcutName;         // desktop shortcut, without ".lnk"
    std::wstring shortcutDescription;
};

ProgramNames GetProgramNames(const std::wstring &component);
// The program that must not run while the component is installed.
std::wstring GetProgramFile(const std::wstring &component);
// The file whose presence shows the component is installed, below the given
// program files and Windows folders (no trailing backslash).
std::wstring InstalledFileIn(const std::wstring &component, const std::wstring &programFilesFolder,
                             const std::wstring &windowsFolder);

#endif
