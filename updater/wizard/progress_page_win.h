#ifndef UPDATER_WIZARD_PROGRESS_PAGE_WIN_H
#define UPDATER_WIZARD_PROGRESS_PAGE_WIN_H

#include <string>
#include <vector>

#include "updater/wizard/update_run_driver_win.h"
#include "updater/wizard/wizard_page_win.h"

// Page 2 (dialog 107): the view of an update run. The run (UpdateRun) decides
// every step and the driver's workers do them (the download bar 1010, the
// unpacking bar 1011); the page shows the heading, the log, the status line and
// the bars, and offers Complete at the end.
class CProgressPage : public CWizardPage, private CUpdateRunDriver {
public:
    // The rows to install on the next Start (the selection page's ticked rows).
    void SetPlanRows(std::vector<PackageList> rows) { m_rows = std::move(rows); }
    void Start() override;
    // Stops every worker of the run (the main window closes).
    void StopTransfers() { StopWorkers(); }

protected:
    void OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) override;

private:
    // What the run shows.
    void ShowHeading(const std::wstring &text) override;
    void AppendLog(const std::wstring &text) override;
    void ClearStatus() override;
    void SetBars(int position) override;
    void Ended(RunEnd end) override;
    void OnDownloadProgress(const DownloadTexts &texts) override;

    void ShowLogEnd() const;

    std::vector<PackageList> m_rows;
    std::wstring m_log;
};

#endif
