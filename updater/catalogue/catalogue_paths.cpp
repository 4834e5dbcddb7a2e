#include "updater/catalogue/catalogue_paths.h"

#include "updater/catalogue/server_folders.h"

CataloguePaths CataloguePathsFor(const DeviceProfile &profile, unsigned short languageId) {
    CataloguePaths paths;
    paths.reportFolder = FirstReportFolder(profile);
    paths.deviceReportFolder = SecondReportFolder(profile, languageId);
    for (int n = 1; n <= 9; ++n)
        paths.driverRoots.push_back(DriverRoot(profile, n));
    paths.setupRoot = SetupRoot(profile);
    return paths;
}

std::wstring ModelTreePath(const DeviceProfile &profile) {
    return L"/[" + profile.family + L"]/" + profile.modelName;
}
