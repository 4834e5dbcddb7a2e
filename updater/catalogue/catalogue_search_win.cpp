#include "updater/catalogue/catalogue_search_win.h"

#include <windows.h>

#include "common/paths.h"
#include "updater/catalogue/installed_version_win.h"
#include "updater/catalogue/release_index_lister.h"
#include "updater/catalogue/release_key.h"
#include "updater/catalogue/trusted_index_win.h"
#include "updater/catalogue/inventory_rules.h"
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
    bool ListFiles(FileListing &files, const std::wstring &folder) override {
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

// The walk over a trusted index: its folders and files are listed from the
// index, while the report folders are still made on the server.
class IndexedLister : public FolderLister {
public:
    IndexedLister(ReleaseIndexLister &index, FolderLister &server) : index_(index), server_(server) {}

    bool ListFolders(TextList &folders, const std::wstring &folder) override {
        return index_.ListFolders(folders, folder);
    }
    bool ListFiles(FileListing &files, const std::wstring &folder) override {
        return index_.ListFiles(files, folder);
    }
    bool CreateFolder(const std::wstring &path) override { return server_.CreateFolder(path); }

private:
    ReleaseIndexLister &index_;
    FolderLister &server_;
};

// Every package of every row gets the size and digest the index gives its file
// (a row owns its package list, which the list leaves open to change).
void AttachDigests(const ComponentList &list, const ReleaseIndexLister &index) {
    for (const ComponentRow &row : list.Rows()) {
        if (!row.packages)
            continue;
        for (PackageEntry &entry : *row.packages) {
            const ReleaseIndexEntry *file =
                index.FindFile(NormaliseServerPath(ServerFolderOf(entry) + L"/" + entry.fileName));
            if (file)
                entry.digest = SignedDigest{true, file->size, file->sha256};
        }
    }
}

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
    const CataloguePaths paths = CataloguePathsFor(profile, GetSystemDefaultLangID());
    RsaPublicKey key;
    if (!EmbeddedReleaseKey(key)) {
        const SearchOutcome outcome = WalkCatalogue(lister, installed, paths, profile.windowsName, list);
        connection.Close();
        return outcome;
    }

    // Signed mode: the whole catalogue comes from the model's signed index, in
    // one transfer; without a trusted one nothing is offered.
    ReleaseIndex index;
    if (FetchTrustedIndex(connection, key, ModelTreePath(profile), ProductKeyPath(profile.family),
                          index) != IndexVerdict::kTrusted) {
        connection.Close();
        return SearchOutcome::kNotSigned;
    }
    ReleaseIndexLister indexLister(index);
    IndexedLister indexed(indexLister, lister);
    const SearchOutcome outcome = WalkCatalogue(indexed, installed, paths, profile.windowsName, list);
    connection.Close();
    AttachDigests(list, indexLister);
    return outcome;
}
