#include "updater/catalogue/catalogue_search_win.h"

#include <windows.h>

#include "updater/catalogue/installed_version_win.h"
#include "updater/identify/device_profile.h"
#include "updater/transfer/ftp_access_win.h"

namespace {

// A lister that answers nothing more once a stop is requested, so that a walk
// over a slow server ends after the command in flight.
class StoppableLister : public FolderLister {
public:
    StoppableLister(FolderLister &inner, const std::function<bool()> &stopRequested)
        : inner_(inner), stopRequested_(stopRequested) {}

    bool ListFolders(TextList &folders, const std::wstring &folder) override {
        folders.clear();
        return !Stopped() && inner_.ListFolders(folders, folder);
    }
    bool ListFiles(TextListTable &files, const std::wstring &folder) override {
        files.clear();
        return !Stopped() && inner_.ListFiles(files, folder);
    }
    bool CreateFolder(const std::wstring &path) override {
        return !Stopped() && inner_.CreateFolder(path);
    }

private:
    bool Stopped() const { return stopRequested_ && stopRequested_(); }

    FolderLister &inner_;
    const std::function<bool()> &stopRequested_;
};

}  // namespace

SearchOutcome SearchCatalogue(ComponentList &list, const FtpEndpoint &server,
                              const std::function<bool()> &stopRequested) {
    list.Clear();
    CFtpAccess connection;
    if (!connection.Connect(server, stopRequested))
        return SearchOutcome::kConnectFailed;
    const DeviceProfile &profile = GetDeviceProfile();
    CRegistryInventory installed(profile.family);
    StoppableLister lister(connection, stopRequested);
    const SearchOutcome outcome =
        WalkCatalogue(lister, installed, CataloguePathsFor(profile, GetSystemDefaultLangID()),
                      profile.windowsName, list);
    connection.Close();
    return outcome;
}
