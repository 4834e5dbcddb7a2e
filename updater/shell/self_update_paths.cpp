#include "updater/shell/self_update_paths.h"

#include <algorithm>

#include "updater/catalogue/version_compare.h"
#include "updater/shell/startup_rules.h"

std::wstring SelfUpdateSetupFolder(const std::wstring &region, const std::wstring &family) {
    return L"/" + region + L"/PC/Tessel" + family + L"Setup/";
}

std::wstring NewestSelfUpdateVersion(std::vector<std::wstring> folders) {
    folders.erase(std::remove_if(folders.begin(), folders.end(),
                                 [](const std::wstring &name) { return !StartsWithVersionNumber(name); }),
                  folders.end());
    if (folders.empty())
        return L"";
    SortNames(folders, CompareVersion);
    return folders.back();
}

SelfUpdatePaths BuildSelfUpdatePaths(const std::wstring &region, const std::wstring &family,
                                     const std::wstring &version,
                                     const std::wstring &serverAddress,
                                     const std::wstring &programFolder) {
    SelfUpdatePaths paths;
    paths.serverVersionFolder = SelfUpdateSetupFolder(region, family) + version + L"/";
    paths.remoteText = serverAddress + paths.serverVersionFolder;
    paths.localFolder =
        TempFolderOf(programFolder) + L"Tessel" + family + L"Setup\\" + version + L"\\";
    paths.setupFileName = L"Tessel" + family + L"Setup " + version + L".exe";
    paths.localFile = paths.localFolder + paths.setupFileName;
    return paths;
}
