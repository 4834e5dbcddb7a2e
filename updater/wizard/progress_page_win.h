#ifndef UPDATER_WIZARD_PROGRESS_PAGE_WIN_H
#define UPDATER_WIZARD_PROGRESS_PAGE_WIN_H

#include <string>

#include "updater/transfer/progress_extract_win.h"
#include "updater/transfer/progress_ftp_win.h"
#include "updater/wizard/install_run.h"
#include "updater/wizard/wizard_page_win.h"

class CSelectPage;

// Page 2 (dialog 107): the installation run. Every package of every ticked
// row, one at a time: downloaded with the bar 1010, a ZIP unpacked below
// Program Files with the bar 1011 and its Setup.exe or Setup.msi run (or a
// desktop shortcut made), any other file run itself; a row's version is
// recorded after its last package. The first failure ends the run with the
// control's error text as heading and log line.
class CProgressPage : public CWizardPage {
public:
    void SetSelectPage(CSelectPage *selectPage) { m_selectPage = selectPage; }
    void Start() override;
    // Stops a download or unpacking in progress (the main window closes).
    void StopTransfers();

protected:
    void OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) override;

private:
    void StartInstall();
    bool NextPackage();
    void BeginPackage();
    void OnDownloadNotify(LPARAM code);
    void OnExtractNotify(LPARAM code);
    void FinishPackage();
    void RecordVersion() const;
    void EndRun(const std::wstring &errorText);
    void CompleteRun();

    void ShowHeading() const;
    void AppendLog(const std::wstring &text);
    void ShowLogEnd() const;
    void SetProgressBars(int position) const;

    CSelectPage *m_selectPage = nullptr;
    InstallSequence m_run;
    PackagePlace m_place;          // the current package
    std::wstring m_programFiles;   // the system's Program Files folder
    std::wstring m_restartPath;    // a maker application closed for this package
    std::wstring m_log;
    CProgressFtp m_download;
    CProgressExtract m_extract;
};

#endif
