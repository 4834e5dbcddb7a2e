#ifndef UPDATER_UNATTENDED_UNATTENDED_RUN_WIN_H
#define UPDATER_UNATTENDED_UNATTENDED_RUN_WIN_H

#include <windows.h>

#include "common/message_window_win.h"
#include "updater/unattended/run_log_win.h"
#include "updater/unattended/start_options.h"
#include "updater/wizard/update_run_driver_win.h"

// A run with no one at the keyboard and no window on the screen: the catalogue
// search, then (for /unattended) every row whose offered version is newer than
// the installed one, installed through the same UpdateRun as the pages use, with
// quiet installers. What the pages would show goes to the run's log; the result
// is an exit code (UnattendedExit). The workers' notices reach a message-only
// window, which is never shown.
class CUnattendedRun : private CUpdateRunDriver {
public:
    CUnattendedRun(StartMode mode, CRunLogFile &log);
    ~CUnattendedRun() override;

    int Run();

private:
    int Install(const ComponentList &rows);

    // The log is read by administrators of many machines: English throughout.
    unsigned short RunLanguage() const override { return 0; }
    void ShowHeading(const std::wstring &) override {}
    void AppendLog(const std::wstring &text) override;
    void ClearStatus() override {}
    void SetBars(int) override {}
    void Ended(RunEnd end) override;

    StartMode m_mode;
    CRunLogFile &m_log;
    CMessageWindow m_notices;
    bool m_ended = false;
    RunEnd m_end = RunEnd::kCancelled;
};

#endif
