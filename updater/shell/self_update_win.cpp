// The check for a newer version of the update manager on the primary server,
// and the hand-over to its setup.
#include <windows.h>
#include <shellapi.h>

#include "common/system_folders.h"
#include "common/crypto/file_sha256_win.h"
#include "common/process_start_win.h"
#include "common/paths.h"
#include "common/text.h"
#include "updater/catalogue/release_index_lister.h"
#include "updater/catalogue/release_key.h"
#include "updater/catalogue/trusted_index_win.h"
#include "updater/catalogue/version_compare.h"
#include "updater/identify/device_profile.h"
#include "updater/shell/self_update_paths.h"
#include "updater/shell/startup_rules.h"
#include "updater/shell/update_manager_app_win.h"
#include "updater/transfer/download_dlg_win.h"
#include "updater/transfer/ftp_access_win.h"
#include "updater/unattended/quiet_download_win.h"


bool CUpdateManagerApp::UpdateSelf() {
    CFtpAccess server;
    if (!server.Connect(PrimaryServer()))
        return false;
    if (!FindLatestVersion(server) || CompareVersion(kOwnVersion, m_latestVersion) >= 0) {
        server.Close();
        return false;
    }

    const DeviceProfile &profile = GetDeviceProfile();
    const SelfUpdatePaths paths = BuildSelfUpdatePaths(
        profile.region, profile.family, m_latestVersion, kPrimaryServerAddress, GetProgramFolder());
    TextListTable files;
    files[paths.localFile] = {paths.remoteText};
    CDownloadDlg download(files, PrimaryServer());
    if (download.DoModal(m_instance) == IDCANCEL) {
        PostQuitMessage(0);
        return true;
    }
    // A failed download leaves no file. Ending here would end every start of
    // every device of the family until the server is mended: start-up goes on
    // as when nothing newer exists.
    if (GetFileAttributesW(paths.localFile.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    if (!SetupIsSigned(paths))
        return false;
    // The setup replaces this program's files, so nothing here waits for it.
    ShellExecuteW(nullptr, nullptr, paths.localFile.c_str(), nullptr, paths.localFolder.c_str(),
                  SW_SHOWNORMAL);
    m_launchedSetup = paths.localFile;
    PostQuitMessage(0);
    return true;
}

bool CUpdateManagerApp::UpdateSelfUnattended(CRunLogFile &log) {
    CFtpAccess server;
    if (!server.Connect(PrimaryServer()))
        return false;
    const bool newer = FindLatestVersion(server) && CompareVersion(kOwnVersion, m_latestVersion) < 0;
    server.Close();
    if (!newer)
        return false;

    const DeviceProfile &profile = GetDeviceProfile();
    const SelfUpdatePaths paths = BuildSelfUpdatePaths(
        profile.region, profile.family, m_latestVersion, kPrimaryServerAddress, GetProgramFolder());
    log.Write(L"Tessel " + m_latestVersion + L" is offered; this is " + kOwnVersion + L".");
    std::wstring error;
    if (!DownloadQuietly(paths.localFile, paths.remoteText, PrimaryServer(), error)) {
        log.Write(L"The setup of Tessel " + m_latestVersion + L" did not arrive: " + error);
        return false;
    }
    if (!SetupIsSigned(paths)) {
        log.Write(L"The setup of Tessel " + m_latestVersion +
                  L" is not the file the maker signed: it was not started.");
        return false;
    }
    // The setup replaces this program's files: it installs quietly while this run ends.
    if (!StartProcess(L"", L"\"" + paths.localFile + L"\" /S")) {
        log.Write(L"The setup of Tessel " + m_latestVersion + L" could not be started.");
        return false;
    }
    m_launchedSetup = paths.localFile;
    log.Write(L"Installing Tessel " + m_latestVersion + L" quietly; the next start goes on with it.");
    return true;
}

bool CUpdateManagerApp::SetupIsSigned(const SelfUpdatePaths &paths) {
    RsaPublicKey key;
    if (!EmbeddedReleaseKey(key))
        return true;  // a keyless build trusts the server, as it always did
    const ReleaseIndexEntry *file =
        m_selfUpdateIndex ? ReleaseIndexLister(*m_selfUpdateIndex)
                                .FindFile(NormaliseServerPath(paths.serverVersionFolder + L"/" + paths.setupFileName))
                          : nullptr;
    std::unique_ptr<ReleaseSigner> crypto = MakeSystemCrypto();
    Sha256Digest digest{};
    ULONGLONG size = 0;
    if (file && crypto &&
        HashFileSha256(*crypto, paths.localFile, nullptr, digest, size) == FileHashResult::kDone &&
        size == file->size && digest == file->sha256)
        return true;
    // Never started, and gone before anything else could start it.
    OutputDebugStringW((L"Tessel self-update: " + paths.setupFileName + L" is not the signed file\n").c_str());
    DeleteFileW(paths.localFile.c_str());
    return false;
}

bool CUpdateManagerApp::FindLatestVersion(CFtpAccess &connection) {
    m_latestVersion = kOwnVersion;
    const DeviceProfile &profile = GetDeviceProfile();
    const std::wstring folder = SelfUpdateSetupFolder(profile.region, profile.family);
    RsaPublicKey key;
    if (EmbeddedReleaseKey(key)) {
        // Signed mode: the versions are the folders of the trusted index, and
        // without one there is no self-update.
        ReleaseIndex index;
        const std::wstring tree = StripTrailing(folder, L'/');
        if (FetchTrustedIndex(connection, key, tree, ProductKeyPath(profile.family), index) !=
            IndexVerdict::kTrusted)
            return false;
        m_selfUpdateIndex = std::make_unique<ReleaseIndex>(std::move(index));
        if (!ReleaseIndexLister(*m_selfUpdateIndex).ListFolders(m_versionFolders, tree))
            return false;
    } else if (!connection.ListFolders(m_versionFolders, folder)) {
        return false;
    }
    const std::wstring newest = NewestSelfUpdateVersion(m_versionFolders);
    if (newest.empty())
        return false;
    m_latestVersion = newest;
    return true;
}
