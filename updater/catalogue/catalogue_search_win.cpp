#include "updater/catalogue/catalogue_search_win.h"

#include <windows.h>

#include "updater/catalogue/installed_version_win.h"
#include "updater/identify/device_profile.h"
#include "updater/transfer/ftp_access_win.h"

SearchOutcome SearchCatalogue(ComponentList &list, const FtpEndpoint &server) {
    list.Clear();
    CFtpAccess connection;
    if (!connection.Connect(server))
        return SearchOutcome::kConnectFailed;
    const DeviceProfile &profile = GetDeviceProfile();
    CRegistryInventory installed(profile.family);
    const SearchOutcome outcome =
        WalkCatalogue(connection, installed, CataloguePathsFor(profile, GetSystemDefaultLangID()),
                      profile.windowsName, list);
    connection.Close();
    return outcome;
}
