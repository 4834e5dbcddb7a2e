#ifndef UPDATER_WIZARD_UPDATE_RUN_DRIVER_WIN_H
#define UPDATER_WIZARD_UPDATE_RUN_DRIVER_WIN_H

#include <windows.h>

#include <string>

#include "updater/transfer/progress_extract_win.h"
#include "updater/transfer/progress_ftp_win.h"
#include "updater/wizard/blocking_step_win.h"
#include "updater/wizard/update_run.h"

// Drives an UpdateRun on this machine: its steps are done by worker controls
// (download, a worker that closes a running program, unpacking, one that waits
// for an installer) whose notices reach `window`, and are handed back to the
// run by OnNotice. What the run shows is left to the subclass: the progress
// page shows it in its controls, an unattended run writes it to its log.
// The window's thread never blocks on a step.
class CUpdateRunDriver : public UpdateRunActions {
public:
    CUpdateRunDriver() : m_run(*this) {}
    ~CUpdateRunDriver() override { StopWorkers(); }

    // The window that receives the workers' notices and the bars they move
    // (null in a run without windows).
    void AttachWorkers(HWND window, HWND downloadBar, HWND extractBar);
    // Installers of a known kind get their quiet switches: msiexec "/qn", a
    // setup package of this project "/S".
    void SetQuietInstallers(bool quiet) { m_quiet = quiet; }

    // Starts a run of `rows` on the secondary server; false when they hold no package.
    bool StartRun(std::vector<PackageList> rows);
    UpdateRun &Run() { return m_run; }

    // True when `message` was a worker's notice; the run has been told.
    bool OnNotice(UINT message, WPARAM wParam, LPARAM lParam);
    // Cancels the run and returns when every worker has ended.
    void StopWorkers();

protected:
    // The language of the run's texts: the system's unless a driver says otherwise.
    virtual unsigned short RunLanguage() const;
    // A download's texts changed (size, speed).
    virtual void OnDownloadProgress(const DownloadTexts &) {}

    // UpdateRunActions done here.
    void Download(const std::wstring &localFile, const std::wstring &remotePath) override;
    void VerifyPackage(const std::wstring &localFile, const SignedDigest &digest) override;
    void CloseRunningProgram(const PackagePlace &place) override;
    void Unpack(const std::wstring &folder, const std::wstring &archive) override;
    void RunInstaller(const std::wstring &path) override;
    bool FileExists(const std::wstring &path) override;
    void CreateDesktopShortcut(const std::wstring &name, const std::wstring &description,
                               const std::wstring &target, const std::wstring &workingFolder) override;
    void RecordVersion(const std::wstring &component, const std::wstring &version) override;
    void StartProgram(const std::wstring &path) override;

private:
    void OnDownloadNotice(LPARAM code);
    void OnExtractNotice(LPARAM code);
    void OnVerifiedNotice(LPARAM code);
    void OnClosedNotice(LPARAM code);
    void OnInstallerNotice(LPARAM code);

    UpdateRun m_run;
    HWND m_window = nullptr;
    bool m_quiet = false;
    CProgressFtp m_download;
    CProgressExtract m_extract;
    CBlockingStep<bool> m_verifier;        // -> the package's bytes are the signed ones
    CBlockingStep<std::wstring> m_closer;  // -> the restart path
    CBlockingStep<InstallerEnd> m_installer;
};

#endif
