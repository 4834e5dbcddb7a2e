#ifndef UPDATER_CATALOGUE_CATALOGUE_PATHS_H
#define UPDATER_CATALOGUE_CATALOGUE_PATHS_H

#include <string>
#include <vector>

#include "updater/identify/device_profile.h"

// The server folders one device's search creates and walks.
struct CataloguePaths {
    std::wstring reportFolder;        // "/[MID]/[]"
    std::wstring deviceReportFolder;  // "/[MID]/[]/(9HK4) (marbo K4) (EX) (0412)"
    std::vector<std::wstring> driverRoots;  // "/[MID]/marbo K4/[common2]/Drivers_1" ... _9
    std::wstring setupRoot;                 // "/[MID]/marbo K4/9HK4/Setup"
};

// "/[MID]/marbo K4": the model's tree, which holds every root above and which
// one signed release index covers.
std::wstring ModelTreePath(const DeviceProfile &profile);

// Names are used as the profile holds them; `languageId` is the system default
// language, written as four upper-case hexadecimal digits.
CataloguePaths CataloguePathsFor(const DeviceProfile &profile, unsigned short languageId);

#endif
