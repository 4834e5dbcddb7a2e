#ifndef UPDATER_SHELL_SELF_UPDATE_PATHS_H
#define UPDATER_SHELL_SELF_UPDATE_PATHS_H

#include <string>
#include <vector>

// Where the self-update looks for newer versions of the update manager and
// where it puts the setup it fetches.
struct SelfUpdatePaths {
    std::wstring serverVersionFolder;  // "/Korea/PC/TesselMIDSetup/1.2.F/"
    std::wstring remoteText;           // server address + the version folder
    std::wstring localFolder;          // program folder + "\Temp\TesselMIDSetup\1.2.F\"
    std::wstring setupFileName;        // "TesselMIDSetup 1.2.F.exe" (one blank)
    std::wstring localFile;            // local folder + setup file name
};

// "/" + region + "/PC/Tessel" + family + "Setup/": its sub-folders are the versions.
std::wstring SelfUpdateSetupFolder(const std::wstring &region, const std::wstring &family);

// The newest version among the setup folder's sub-folders; empty when none is a
// version. Only names whose first part is a number are versions: "old" or
// "test" would otherwise sort above every "1.2.x" (a letter is above a digit).
std::wstring NewestSelfUpdateVersion(std::vector<std::wstring> folders);

SelfUpdatePaths BuildSelfUpdatePaths(const std::wstring &region, const std::wstring &family,
                                     const std::wstring &version,
                                     const std::wstring &serverAddress,
                                     const std::wstring &programFolder);

#endif
