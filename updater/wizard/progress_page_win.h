#ifndef UPDATER_WIZARD_PROGRESS_PAGE_WIN_H
#define UPDATER_WIZARD_PROGRESS_PAGE_WIN_H

#include <string>

#include "updater/transfer/progress_extract_win.h"
#include "updater/transfer/progress_ftp_win.h"
#include "updater/wizard/blocking_step_win.h"
#include "updater/wizard/update_run.h"
#include "updater/wizard/wizard_page_win.h"

// Page 2 (dialog 107): the view of an update run. The run (UpdateRun) decides
// every step; the page performs them with its worker controls (the download
// bar 1010, the unpacking bar 1011, a worker that closes a running program and
// one that waits for an installer), hands their notices back to the run, and
// shows the heading, the log, the status line and the bars. The window's
// thread never blocks on a step.
class CProgressPage : public CWizardPage, private UpdateRunActions {
public:
    CProgressPage() : m_run(*this) {}

    // The rows to install on the next Start (the selection page's ticked rows).
    void SetPlanRows(std::vector<PackageList> rows) { m_rows = std::move(rows); }
    void Start() override;
    // Stops every worker of the run (the main window closes).
    void StopTransfers();

protected:
    void OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) override;

private:
    void StartInstall();
    void OnDownloadNotice(LPARAM code);
    void OnExtractNotice(LPARAM code);
    void OnClosedNotice(LPARAM code);
    void OnInstallerNotice(LPARAM code);

    // UpdateRunActions
    void Download(const std::wstring &localFile, const std::wstring &remotePath) override;
    void CloseRunningProgram(const PackagePlace &place) override;
    void Unpack(const std::wstring &folder, const std::wstring &archive) override;
    void RunInstaller(const std::wstring &path) override;
    bool FileExists(const std::wstring &path) override;
    void CreateDesktopShortcut(const std::wstring &name, const std::wstring &description,
                               const std::wstring &target, const std::wstring &workingFolder) override;
    void RecordVersion(const std::wstring &component, const std::wstring &version) override;
    void StartProgram(const std::wstring &path) override;
    void ShowHeading(const std::wstring &text) override;
    void AppendLog(const std::wstring &text) override;
    void ClearStatus() override;
    void SetBars(int position) override;
    void Ended(RunEnd end) override;

    void ShowLogEnd() const;

    std::vector<PackageList> m_rows;
    std::wstring m_log;
    UpdateRun m_run;
    CProgressFtp m_download;
    CProgressExtract m_extract;
    CBlockingStep<std::wstring> m_closer;       // -> the restart path
    CBlockingStep<InstallerEnd> m_installer;
};

#endif
