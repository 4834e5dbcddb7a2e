#ifndef UPDATER_SHELL_SELF_UPDATE_PATHS_H
#define UPDATER_SHELL_SELF_UPDATE_PATHS_H

#include <string>

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

SelfUpdatePaths BuildSelfUpdatePaths(const std::wstring &region, const std::wstring &family,
                                     const std::wstring &version,
                                     const std::wstring &serverAddress,
                                     const std::wstring &programFolder);

#endif
