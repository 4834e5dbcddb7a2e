#ifndef UPDATER_SHELL_MAIN_DLG_WIN_H
#define UPDATER_SHELL_MAIN_DLG_WIN_H

#include <memory>

#include "updater/controls/dialog_window_win.h"
#include "updater/wizard/page_activation.h"
#include "updater/wizard/progress_page_win.h"
#include "updater/wizard/search_page_win.h"
#include "updater/wizard/select_page_win.h"

// The one top-level window (dialog 102, class "Tessel"): starts hidden and hosts
// the three wizard pages, one visible at a time. A second copy finds it by class.
class CMainDlg : public CDialogWindow, public WizardHost {
public:
    CMainDlg() = default;
    ~CMainDlg() override;

    bool Create(HINSTANCE instance);
    // Shows `page` (kNoPage shows and hides nothing); with `start` the page's work
    // begins one timer tick later.
    void ShowPage(int page, bool start) override;
    void ForgetFoundRows() override { m_selectPage.ClearList(); }
    void ShowFoundRows(ComponentList rows) override;
    void StartInstall(std::vector<PackageList> rows) override;
    int CurrentPage() const { return m_currentPage; }

    CSearchPage &SearchPage() { return m_searchPage; }
    CSelectPage &SelectPage() { return m_selectPage; }
    CProgressPage &ProgressPage() { return m_progressPage; }

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) override;
    void OnInitDialog() override;

private:
    CWizardPage *Page(int page);
    void OnActivate(WPARAM wParam);
    void OnPageTimer();
    void OnSize(int width, int height);
    bool OnPaintMinimised();
    void OnClose();
    void StopTransfers();

    HICON m_icon = nullptr;
    int m_currentPage = kNoPage;
    int m_lastPage = kNoPage;
    CSearchPage m_searchPage;
    CSelectPage m_selectPage;
    CProgressPage m_progressPage;
};

// Registers the dialog class under the name "Tessel" that dialog 102 names and a
// second copy looks for.
bool RegisterMainWindowClass(HINSTANCE instance);

// The program's main window, and the factory start-up makes it with (a test
// build links a factory of its own).
CMainDlg *GetMainWindow();
void SetMainWindow(CMainDlg *window);
std::unique_ptr<CMainDlg> MakeMainDialog();

#endif
