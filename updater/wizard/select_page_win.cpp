#include "updater/wizard/select_page_win.h"

#include <commctrl.h>

#include "resource.h"
#include "updater/wizard/page_activation.h"
#include "updater/wizard/page_texts.h"

namespace {

// Column titles and widths in pixels.
struct Column {
    const LocalizedText *title;
    int width;
};
const Column kColumns[] = {
    {&kNameColumn, 265}, {&kInstalledVersionColumn, 130}, {&kNewVersionColumn, 120}};

void SetCell(HWND list, int row, int column, const std::wstring &text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t *>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

CSelectPage::~CSelectPage() {
    Destroy();
    if (m_listFont)
        DeleteObject(m_listFont);
}

HWND CSelectPage::List() const { return Item(IDC_COMPONENT_LIST); }

void CSelectPage::OnInitDialog() {
    SetItemText(IDC_CHECK_ALL, Localized(kCheckAllText));
    SetItemText(IDC_START_INSTALL, Localized(kStartInstallText));
    SetItemText(IDC_CANCEL_PAGE, Localized(kCancelText));

    HWND list = List();
    LOGFONTW font{};
    HFONT current = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
    if (!current || !GetObjectW(current, sizeof font, &font))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = 24;
    font.lfWeight = FW_NORMAL;
    m_listFont = CreateFontIndirectW(&font);
    if (m_listFont)
        SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(m_listFont), FALSE);

    const DWORD extended = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 extended | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);

    for (int index = 0; index < 3; ++index) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t *>(Localized(*kColumns[index].title));
        column.cx = kColumns[index].width;
        column.iSubItem = index;
        SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
    }
}

void CSelectPage::Start() {
    SetItemText(IDC_HEADING, Localized(kSelectHeading));
    SetItemText(IDC_CHECK_ALL, Localized(kCheckAllText));
    SetItemText(IDC_STATUS, DeviceLine(GetDeviceProfile()).c_str());
    // Every visit begins as the first did, whatever the last visit left disabled.
    EnableWindow(Item(IDC_START_INSTALL), TRUE);
    UpdateWindow(Handle());
    CheckDlgButton(Handle(), IDC_CHECK_ALL,
                   CheckedRowCount() == RowCount() ? BST_CHECKED : BST_UNCHECKED);
}

void CSelectPage::ClearList() {
    m_filling = true;
    SendMessageW(List(), LVM_DELETEALLITEMS, 0, 0);
    m_filling = false;
    m_rows.Clear();
    SetItemText(IDC_HEADING, L"");
    UpdateWindow(Handle());
}

void CSelectPage::SetRows(ComponentList rows) {
    ClearList();
    m_rows = std::move(rows);
    HWND list = List();
    m_filling = true;
    for (size_t index = 0; index < m_rows.Size(); ++index) {
        const ComponentRow &row = m_rows[index];
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(index);
        item.pszText = const_cast<wchar_t *>(row.name.c_str());
        const int inserted =
            static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        // Item i shows row i: a row the list could not take ends the list.
        if (inserted != static_cast<int>(index))
            break;
        SetCell(list, inserted, 1, row.installedVersion);
        SetCell(list, inserted, 2, row.newVersion);
        ListView_SetCheckState(list, inserted, row.checked ? TRUE : FALSE);
    }
    m_filling = false;
}

int CSelectPage::RowCount() const {
    return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0));
}

bool CSelectPage::IsRowChecked(int row) const { return ListView_GetCheckState(List(), row) != 0; }

int CSelectPage::CheckedRowCount() const {
    int checked = 0;
    for (int row = 0, rows = RowCount(); row < rows; ++row)
        checked += IsRowChecked(row) ? 1 : 0;
    return checked;
}

std::vector<PackageList> CSelectPage::CheckedPackages() const {
    std::vector<PackageList> packages;
    for (int row = 0, rows = RowCount(); row < rows; ++row) {
        const ComponentRow &shown = m_rows[static_cast<size_t>(row)];
        if (IsRowChecked(row) && shown.packages)
            packages.push_back(*shown.packages);
    }
    return packages;
}

void CSelectPage::OnCheckAll() {
    const bool checked = IsDlgButtonChecked(Handle(), IDC_CHECK_ALL) == BST_CHECKED;
    m_filling = true;
    for (int row = 0, rows = RowCount(); row < rows; ++row)
        ListView_SetCheckState(List(), row, checked ? TRUE : FALSE);
    m_filling = false;
    EnableWindow(Item(IDC_START_INSTALL), checked ? TRUE : FALSE);
}

// The list changes the check box after it reports the click: look one tick later.
void CSelectPage::OnListClick() { SetTimer(Handle(), kWorkTimer, 1, nullptr); }

void CSelectPage::OnTimer() {
    KillTimer(Handle(), kWorkTimer);
    EnableWindow(Item(IDC_START_INSTALL), CheckedRowCount() > 0 ? TRUE : FALSE);
}

void CSelectPage::OnStartInstall() {
    if (CheckedRowCount() > 0)
        Host().StartInstall(CheckedPackages());
}

bool CSelectPage::OnNotify(const NMHDR &header) {
    if (header.idFrom != IDC_COMPONENT_LIST)
        return false;
    if (header.code == NM_CLICK) {
        OnListClick();
        return true;
    }
    // A check box toggled from the keyboard (space bar) sends no click.
    if (header.code == LVN_ITEMCHANGED && !m_filling) {
        const NMLISTVIEW &change = reinterpret_cast<const NMLISTVIEW &>(header);
        if ((change.uChanged & LVIF_STATE) &&
            ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK))
            OnListClick();
        return true;
    }
    return false;
}

bool CSelectPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_CHECK_ALL) {
            OnCheckAll();
            return true;
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_START_INSTALL) {
            OnStartInstall();
            return true;
        }
        break;
    case WM_NOTIFY:
        if (OnNotify(*reinterpret_cast<const NMHDR *>(lParam))) {
            result = 0;
            return true;
        }
        break;
    case WM_TIMER:
        if (wParam == kWorkTimer) {
            OnTimer();
            return true;
        }
        break;
    case WM_DESTROY:
        ClearList();
        break;
    default:
        break;
    }
    return CWizardPage::OnMessage(message, wParam, lParam, result);
}
