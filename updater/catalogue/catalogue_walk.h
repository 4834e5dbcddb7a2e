#ifndef UPDATER_CATALOGUE_CATALOGUE_WALK_H
#define UPDATER_CATALOGUE_CATALOGUE_WALK_H

#include <string>

#include "updater/catalogue/catalogue_paths.h"
#include "updater/catalogue/component_list.h"
#include "updater/catalogue/inventory_rules.h"
#include "updater/transfer/folder_lister.h"

// The walk over a catalogue tree: which components a device is offered, and from
// which folders. It runs the same over an FTP connection and over a folder on disk.

// The five components never offered on Windows 7 (letter case ignored).
bool ExcludedOnWin7(const std::wstring &component);
// "HIDeGalaxTouch": offered on Windows 7 only, from its "Win7" folder.
bool OnlyFromWin7(const std::wstring &component);

// kNotSigned: a signed-mode build found no index it can trust for the device's
// tree (missing, changed, another tree's, older than one seen): nothing is offered.
enum class SearchOutcome { kFound, kConnectFailed, kNothingFound, kNotSigned };

// Walks one root into `list`: component folders, then (when `windowsName` is not
// empty) the Windows folder, then the newest version folder and its files. A row
// replaces any earlier row of the same name. Folders that cannot be listed are
// skipped.
void ScanRoot(FolderLister &server, InstalledVersions &installed, const std::wstring &root,
              const std::wstring &windowsName, ComponentList &list);

// Creates the two report folders (results ignored), then scans driver roots 1 to 9
// with `windowsName` and the setup root without one. `list` is emptied first.
SearchOutcome WalkCatalogue(FolderLister &server, InstalledVersions &installed,
                            const CataloguePaths &paths, const std::wstring &windowsName,
                            ComponentList &list);

#endif
