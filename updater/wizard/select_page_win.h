#ifndef UPDATER_WIZARD_SELECT_PAGE_WIN_H
#define UPDATER_WIZARD_SELECT_PAGE_WIN_H

#include "updater/catalogue/component_list.h"
#include "updater/wizard/wizard_page_win.h"

// Page 1 (dialog 106): the offered components with check boxes. The page owns
// a copy of the search's rows, one list view item per row in the same order;
// "Start Install" hands the ticked rows' package lists to the main window.
class CSelectPage : public CWizardPage {
public:
    ~CSelectPage() override;

    void Start() override;
    // Frees every row with its package list, empties the list view and the heading.
    void ClearList();
    // Replaces the rows by `rows` (the search's result), each ticked as it says.
    void SetRows(ComponentList rows);

    const ComponentList &Rows() const { return m_rows; }
    // Copies of the ticked rows' package lists, in list order.
    std::vector<PackageList> CheckedPackages() const;

protected:
    void OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) override;

private:
    HWND List() const;
    int RowCount() const;
    bool IsRowChecked(int row) const;
    int CheckedRowCount() const;
    void OnCheckAll();
    void OnListClick();
    void OnTimer();
    void OnStartInstall();
    bool OnNotify(const NMHDR &header);

    ComponentList m_rows;
    HFONT m_listFont = nullptr;
    bool m_filling = false;  // check boxes set by the page itself, not by the user
};

#endif
