#include "updater/wizard/update_run_driver_win.h"

#include <shlobj.h>

#include <memory>

#include "common/crypto/file_sha256_win.h"
#include "common/localized_text.h"
#include "common/registry_key.h"
#include "common/shortcuts.h"
#include "common/system_folders.h"
#include "updater/catalogue/inventory_rules.h"
#include "updater/catalogue/release_key.h"
#include "updater/transfer/ftp_endpoint.h"
#include "updater/wizard/busy_flag.h"
#include "updater/wizard/installer_process_win.h"
#include "updater/wizard/running_component_win.h"

namespace {

UINT ClosedMessage() {
    static const UINT message = RegisterWindowMessageW(L"CUpdateRunDriver::WM_PROGRAM_CLOSED");
    return message;
}

UINT VerifiedMessage() {
    static const UINT message = RegisterWindowMessageW(L"CUpdateRunDriver::WM_PACKAGE_VERIFIED");
    return message;
}

// The whole file, read in blocks on the worker, against the index's size and digest.
bool MatchesSignedDigest(const std::wstring &path, const SignedDigest &digest, HANDLE stop) {
    std::unique_ptr<ReleaseSigner> crypto = MakeSystemCrypto();
    Sha256Digest actual{};
    ULONGLONG size = 0;
    if (!crypto || HashFileSha256(*crypto, path, stop, actual, size) != FileHashResult::kDone)
        return false;
    return size == digest.size && actual == digest.sha256;
}

UINT InstallerMessage() {
    static const UINT message = RegisterWindowMessageW(L"CUpdateRunDriver::WM_INSTALLER_ENDED");
    return message;
}

std::wstring ProgramFilesFolder() {
    std::wstring folder;
    GetSpecialFolder(folder, nullptr, CSIDL_PROGRAM_FILES);
    return folder;
}

}  // namespace

void CUpdateRunDriver::AttachWorkers(HWND window, HWND downloadBar, HWND extractBar) {
    m_window = window;
    m_download.Attach(downloadBar, window);
    m_extract.Attach(extractBar, window);
}

bool CUpdateRunDriver::StartRun(std::vector<PackageList> rows) {
    UpdatePlan plan;
    plan.rows = std::move(rows);
    plan.programFolder = GetProgramFolder();
    plan.programFiles = ProgramFilesFolder();
    plan.server = SecondaryServer().server;
    plan.langId = RunLanguage();
    RsaPublicKey key;
    plan.signedPackages = EmbeddedReleaseKey(key);
    return m_run.Start(std::move(plan));
}

unsigned short CUpdateRunDriver::RunLanguage() const { return SystemIsKorean() ? kKoreanLangId : 0; }

void CUpdateRunDriver::StopWorkers() {
    m_run.Cancel();
    m_download.Stop();
    m_verifier.Stop();
    m_extract.Stop();
    m_closer.Stop();
    m_installer.Stop();
    SetInstallationBusy(false);
}

// --- the run's actions ---

void CUpdateRunDriver::Download(const std::wstring &localFile, const std::wstring &remotePath) {
    const FtpEndpoint server = SecondaryServer();
    if (!m_download.Start(localFile, remotePath, server.port, server.user, server.password, true))
        m_run.OnDownloadFailed(m_download.Texts().error);
}

void CUpdateRunDriver::VerifyPackage(const std::wstring &localFile, const SignedDigest &digest) {
    if (!m_verifier.Start(m_window, VerifiedMessage(), [localFile, digest](HANDLE stop) {
            return MatchesSignedDigest(localFile, digest, stop);
        }))
        m_run.OnPackageVerified(false);
}

void CUpdateRunDriver::CloseRunningProgram(const PackagePlace &place) {
    const std::wstring component = place.component, packageName = place.packageName;
    const std::wstring programFiles = ProgramFilesFolder();
    if (!m_closer.Start(m_window, ClosedMessage(), [=](HANDLE) {
            return CloseRunningComponent(component, packageName, programFiles);
        }))
        m_run.OnProgramClosed(L"");
}

void CUpdateRunDriver::Unpack(const std::wstring &folder, const std::wstring &archive) {
    if (!m_extract.Start(folder, archive))
        m_run.OnUnpackFailed(m_extract.ErrorText());
}

void CUpdateRunDriver::RunInstaller(const std::wstring &path) {
    // The main window refuses to close while the installer runs.
    SetInstallationBusy(true);
    const bool quiet = m_quiet;
    if (!m_installer.Start(m_window, InstallerMessage(), [path, quiet](HANDLE stop) {
            return RunInstallerAndWait(path, quiet, stop);
        })) {
        SetInstallationBusy(false);
        m_run.OnInstallerEnded(InstallerEnd());
    }
}

bool CUpdateRunDriver::FileExists(const std::wstring &path) { return IsPlainFile(path); }

void CUpdateRunDriver::CreateDesktopShortcut(const std::wstring &name,
                                             const std::wstring &description,
                                             const std::wstring &target,
                                             const std::wstring &workingFolder) {
    CreateShortcut(L"{DeskTop}", name, description, target, L"", workingFolder, 0, true);
}

void CUpdateRunDriver::RecordVersion(const std::wstring &component, const std::wstring &version) {
    const std::wstring key = MakerVersionKey(component);
    CRegistryKey versionKey;
    if (!versionKey.Open(key) && !versionKey.Create(key))
        return;
    versionKey.SetValue(L"version", version, REG_SZ);
    versionKey.Close();
}

void CUpdateRunDriver::StartProgram(const std::wstring &path) { ::StartProgram(path); }

// --- the workers' notices ---

bool CUpdateRunDriver::OnNotice(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == 0 || wParam != 0)
        return false;
    if (message == m_download.Message())
        OnDownloadNotice(lParam);
    else if (message == CProgressExtract::Message())
        OnExtractNotice(lParam);
    else if (message == VerifiedMessage())
        OnVerifiedNotice(lParam);
    else if (message == ClosedMessage())
        OnClosedNotice(lParam);
    else if (message == InstallerMessage())
        OnInstallerNotice(lParam);
    else
        return false;
    return true;
}

void CUpdateRunDriver::OnDownloadNotice(LPARAM code) {
    m_download.ShowPosition();
    switch (code) {
    case kWorkerProgress:
        // A long download must not look like an idle user to the system.
        keybd_event(0, 0, 0, 0);
        if (m_run.CurrentStep() == UpdateRun::Step::kDownloading)
            OnDownloadProgress(m_download.Texts());
        break;
    case kWorkerFinished:
        m_download.Stop();
        m_run.OnDownloadFinished();
        break;
    case kWorkerStopped:
        m_download.Stop();
        m_run.OnDownloadStopped();
        break;
    case kWorkerFailed: {
        const std::wstring error = m_download.Texts().error;
        m_download.Stop();
        m_run.OnDownloadFailed(error);
        break;
    }
    default:
        break;
    }
}

void CUpdateRunDriver::OnExtractNotice(LPARAM code) {
    m_extract.ShowPosition();
    switch (code) {
    case kWorkerProgress:
        keybd_event(0, 0, 0, 0);
        break;
    case kWorkerFinished:
        m_extract.Stop();
        m_run.OnUnpackFinished();
        break;
    case kWorkerStopped:
        m_extract.Stop();
        m_run.OnUnpackStopped();
        break;
    case kWorkerFailed: {
        const std::wstring error = m_extract.ErrorText();
        m_extract.Stop();
        m_run.OnUnpackFailed(error);
        break;
    }
    default:
        break;
    }
}

void CUpdateRunDriver::OnVerifiedNotice(LPARAM code) {
    m_verifier.Stop();
    if (code == kWorkerFinished)
        m_run.OnPackageVerified(m_verifier.TakeResult());
}

void CUpdateRunDriver::OnClosedNotice(LPARAM code) {
    m_closer.Stop();
    if (code == kWorkerFinished)
        m_run.OnProgramClosed(m_closer.TakeResult());
}

void CUpdateRunDriver::OnInstallerNotice(LPARAM code) {
    m_installer.Stop();
    SetInstallationBusy(false);
    if (code == kWorkerFinished)
        m_run.OnInstallerEnded(m_installer.TakeResult());
}
