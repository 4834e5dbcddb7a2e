#ifndef UPDATER_WIZARD_WIZARD_PAGE_WIN_H
#define UPDATER_WIZARD_WIZARD_PAGE_WIN_H

#include <vector>

#include "updater/catalogue/component_list.h"
#include "updater/controls/dialog_window_win.h"

// The window that shows the pages, one at a time (the main window). Pages never
// reach each other: what one page hands on goes through the host, by value.
class WizardHost {
public:
    // Shows page `page` (0 search, 1 selection, 2 progress); with `start` its work
    // begins one timer tick later.
    virtual void ShowPage(int page, bool start) = 0;
    // A search begins: the rows of an earlier one are gone.
    virtual void ForgetFoundRows() = 0;
    // The search found `rows`: the selection page shows them.
    virtual void ShowFoundRows(ComponentList rows) = 0;
    // "Start Install": the progress page installs the ticked rows' packages.
    virtual void StartInstall(std::vector<PackageList> rows) = 0;

protected:
    ~WizardHost() = default;
};

// What the three pages share: a child dialog of the main window whose Cancel
// button asks the main window to close (it refuses while an installer runs).
class CWizardPage : public CDialogWindow {
public:
    // The page's work, started by the main window one timer tick after showing it.
    virtual void Start() = 0;
    void SetHost(WizardHost *host) { m_host = host; }

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) override;
    void CloseMainWindow() const;
    void ShowPage(int page, bool start) const {
        if (m_host)
            m_host->ShowPage(page, start);
    }
    WizardHost &Host() const { return *m_host; }

    // Every page runs its work from timer 1 of its own window.
    static constexpr UINT_PTR kWorkTimer = 1;

private:
    WizardHost *m_host = nullptr;
};

#endif
