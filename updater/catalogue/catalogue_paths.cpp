#include "updater/catalogue/catalogue_paths.h"

#include <cwchar>

CataloguePaths CataloguePathsFor(const DeviceProfile &profile, unsigned short languageId) {
    const std::wstring family = L"/[" + profile.family + L"]";
    const std::wstring board = profile.serial.substr(0, 4);
    const std::wstring boardFolder = board.empty() ? L"0000" : board;
    wchar_t language[8];
    std::swprintf(language, 8, L"%04X", static_cast<unsigned>(languageId));

    CataloguePaths paths;
    paths.reportFolder = family + L"/[]";
    paths.deviceReportFolder = paths.reportFolder + L"/(" + boardFolder + L") (" + profile.modelName +
                               L") (" + profile.modelSuffix + L") (" + language + L")";
    const std::wstring model = family + L"/" + profile.modelName;
    for (int n = 1; n <= 9; ++n)
        paths.driverRoots.push_back(model + L"/[common2]/Drivers_" + std::to_wstring(n));
    paths.setupRoot = model + L"/" + boardFolder + L"/Setup";
    return paths;
}
