#ifndef TOOLS_CATALOG_PREVIEW_H
#define TOOLS_CATALOG_PREVIEW_H

#include <string>
#include <vector>

#include "updater/catalogue/catalogue_paths.h"
#include "updater/catalogue/component_list.h"
#include "updater/catalogue/inventory_rules.h"
#include "updater/identify/device_profile.h"
#include "updater/transfer/folder_lister.h"

// What Tessel shows a device: the very walk it runs, over any lister, and for
// every component of the tree that the device is not offered, why.

struct PreviewRoot {
    std::wstring path;
    bool exists = false;
    size_t components = 0;
};

struct NotOffered {
    std::wstring root;
    std::wstring component;
    std::wstring reason;
};

struct PreviewReport {
    DeviceProfile profile;
    unsigned short languageId = 0;
    CataloguePaths paths;
    std::vector<PreviewRoot> roots;  // driver roots 1 to 9, then the setup root
    ComponentList rows;
    std::vector<NotOffered> notOffered;
};

PreviewReport Preview(FolderLister &tree, InstalledVersions &installed, const DeviceProfile &profile,
                      unsigned short languageId);

// The path of a package on the server.
std::wstring PackagePath(const PackageEntry &entry);

std::string FormatPreviewText(const PreviewReport &report);
std::string FormatPreviewJson(const PreviewReport &report);

#endif
