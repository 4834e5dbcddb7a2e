#include "updater/catalogue/catalogue_walk.h"

#include "common/text.h"
#include "updater/catalogue/version_compare.h"

bool ExcludedOnWin7(const std::wstring &component) {
    for (const wchar_t *name : {L".NET Framework", L"Touchside", L"USBC Client",
                                L"USB Mass Storage Device", L"Cyberlink PowerDVD 8.0 SE"}) {
        if (EqualsNoCase(component, name))
            return true;
    }
    return false;
}

bool OnlyFromWin7(const std::wstring &component) { return EqualsNoCase(component, L"HIDeGalaxTouch"); }

namespace {

// Where the version folders of one component are: the folder P that lists them,
// the Windows folder F it was found in (empty for the setup root) and its listing.
struct VersionParent {
    std::wstring path;
    std::wstring windowsFolder;
    TextList versions;
};

bool ListNonEmpty(FolderLister &server, const std::wstring &path, TextList &folders) {
    return server.ListFolders(folders, path) && !folders.empty();
}

// Win7 falls back to Vista, Vista to XP; the last listing made decides.
bool FindVersionParent(FolderLister &server, const std::wstring &componentFolder,
                       const std::wstring &component, const std::wstring &windowsName,
                       VersionParent &parent) {
    if (windowsName.empty()) {
        parent.path = componentFolder;
        return ListNonEmpty(server, parent.path, parent.versions);
    }
    std::wstring wanted = windowsName;
    bool attempted = false, found = false;
    auto attempt = [&](const wchar_t *folder) {
        attempted = true;
        parent.windowsFolder = folder;
        parent.path = componentFolder + L"/" + folder;
        found = ListNonEmpty(server, parent.path, parent.versions);
        return found;
    };
    if (EqualsNoCase(wanted, L"Win7") && !ExcludedOnWin7(component) && !attempt(L"Win7"))
        wanted = L"Vista";
    if (EqualsNoCase(wanted, L"Vista") && !OnlyFromWin7(component) && !attempt(L"Vista"))
        wanted = L"XP";
    if (EqualsNoCase(wanted, L"XP") && !OnlyFromWin7(component))
        attempt(L"XP");
    return attempted && found;
}

}  // namespace

void ScanRoot(FolderLister &server, InstalledVersions &installed, const std::wstring &root,
              const std::wstring &windowsName, ComponentList &list) {
    TextList components;
    if (!server.ListFolders(components, root) || components.empty())
        return;
    SortNames(components, CompareFileName);

    for (const std::wstring &component : components) {
        VersionParent parent;
        if (!FindVersionParent(server, root + L"/" + component, component, windowsName, parent))
            continue;
        SortNames(parent.versions, CompareVersion);
        const std::wstring &version = parent.versions.back();

        FileListing files;
        if (!server.ListFiles(files, parent.path + L"/" + version) || files.empty())
            continue;
        TextList fileNames;
        for (const ListedFile &file : files)
            fileNames.push_back(file.name);
        SortNames(fileNames, CompareFileName);

        ComponentRow row;
        row.name = component;
        row.newVersion = version;
        row.packages = std::make_unique<PackageList>();
        for (const std::wstring &fileName : fileNames)
            row.packages->push_back({root, component, parent.windowsFolder, version, fileName});
        row.installedVersion = installed.InstalledVersion(component);
        row.checked = IsOfferNewer(row.newVersion, row.installedVersion);
        list.Put(std::move(row));
    }
}

SearchOutcome WalkCatalogue(FolderLister &server, InstalledVersions &installed,
                            const CataloguePaths &paths, const std::wstring &windowsName,
                            ComponentList &list) {
    list.Clear();
    server.CreateFolder(paths.reportFolder);
    server.CreateFolder(paths.deviceReportFolder);
    for (const std::wstring &root : paths.driverRoots)
        ScanRoot(server, installed, root, windowsName, list);
    ScanRoot(server, installed, paths.setupRoot, L"", list);
    return list.Empty() ? SearchOutcome::kNothingFound : SearchOutcome::kFound;
}
