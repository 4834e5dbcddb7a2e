// A dialog with one of everything the window driver handles: buttons (one
// that appears and is enabled late), a check box, a progress bar, an edit, a list view with check boxes,
// a message box and two stacked child pages that reuse one control id.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "tests/e2e/driver/driver_sample_ids.h"

namespace {

constexpr UINT_PTR kEnableLaterTimer = 1;

struct Sample {
    int presses = 0;
    int clicks = 0;
    int changes = 0;
    HWND pages[2] = {};
    int page = 0;
};

Sample g_sample;

INT_PTR CALLBACK PageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void ShowCount(HWND dialog, int id, const wchar_t *label, int value) {
    SetDlgItemTextW(dialog, id, (std::wstring(label) + std::to_wstring(value)).c_str());
}

void FillList(HWND list) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const wchar_t *headings[] = {L"Name", L"Version"};
    for (int c = 0; c < 2; ++c) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 120;
        column.pszText = const_cast<wchar_t *>(headings[c]);
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    const wchar_t *rows[][2] = {{L"Viewer", L"1.0"}, {L"Player", L"2.1"}, {L"한글", L"3"}};
    for (int r = 0; r < 3; ++r) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = r;
        item.pszText = const_cast<wchar_t *>(rows[r][0]);
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = const_cast<wchar_t *>(rows[r][1]);
        SendMessageW(list, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
    }
    ListView_SetCheckState(list, 1, TRUE);
}

void PlacePages(HWND dialog) {
    RECT area = {7, 125, 253, 170};
    MapDialogRect(dialog, &area);
    const int templates[] = {IDD_FIRST_PAGE, IDD_SECOND_PAGE};
    for (int i = 0; i < 2; ++i) {
        g_sample.pages[i] = CreateDialogParamW(GetModuleHandleW(nullptr),
                                               MAKEINTRESOURCEW(templates[i]), dialog, PageProc, 0);
        SetWindowPos(g_sample.pages[i], nullptr, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOZORDER);
    }
    ShowWindow(g_sample.pages[0], SW_SHOW);
}

void Command(HWND dialog, int id) {
    switch (id) {
    case IDC_PRESS:
        ShowCount(dialog, IDC_PRESSES, L"presses: ", ++g_sample.presses);
        SendDlgItemMessageW(dialog, IDC_PROGRESS, PBM_SETPOS, 25 * g_sample.presses, 0);
        ShowWindow(GetDlgItem(dialog, IDC_LATER), SW_SHOW);
        SetTimer(dialog, kEnableLaterTimer, 500, nullptr);
        break;
    case IDC_LATER:
        g_sample.presses += 10;
        ShowCount(dialog, IDC_PRESSES, L"presses: ", g_sample.presses);
        break;
    case IDC_ASK: {
        int answer = MessageBoxW(dialog, L"Keep the sample open?", L"Driver Sample Question",
                                 MB_YESNO | MB_ICONQUESTION);
        SetDlgItemTextW(dialog, IDC_ANSWER, answer == IDYES ? L"answer: yes" : L"answer: no");
        break;
    }
    case IDC_SWAP:
        ShowWindow(g_sample.pages[g_sample.page], SW_HIDE);
        g_sample.page = 1 - g_sample.page;
        ShowWindow(g_sample.pages[g_sample.page], SW_SHOW);
        break;
    case IDOK: EndDialog(dialog, SAMPLE_DONE_EXIT_CODE); break;
    case IDCANCEL: EndDialog(dialog, 0); break;
    }
}

INT_PTR CALLBACK SampleProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        FillList(GetDlgItem(dialog, IDC_LIST));
        g_sample.changes = 0;  // filling the list is not a change the tests make
        ShowCount(dialog, IDC_CHANGES, L"changes: ", 0);
        PlacePages(dialog);
        return TRUE;
    case WM_TIMER:
        KillTimer(dialog, kEnableLaterTimer);
        EnableWindow(GetDlgItem(dialog, IDC_LATER), TRUE);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_EDIT && HIWORD(wParam) == EN_CHANGE) {
            wchar_t text[256] = {};
            GetDlgItemTextW(dialog, IDC_EDIT, text, 256);
            SetDlgItemTextW(dialog, IDC_TYPED, (std::wstring(L"typed: ") + text).c_str());
        } else if (HIWORD(wParam) == BN_CLICKED) {
            Command(dialog, LOWORD(wParam));
        }
        return TRUE;
    case WM_NOTIFY: {
        auto *header = reinterpret_cast<NMHDR *>(lParam);
        if (header->idFrom != IDC_LIST) return FALSE;
        if (header->code == NM_CLICK) ShowCount(dialog, IDC_CLICKS, L"clicks: ", ++g_sample.clicks);
        if (header->code == LVN_ITEMCHANGED) {
            auto *change = reinterpret_cast<NMLISTVIEW *>(lParam);
            if ((change->uChanged & LVIF_STATE) &&
                ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK))
                ShowCount(dialog, IDC_CHANGES, L"changes: ", ++g_sample.changes);
        }
        return TRUE;
    }
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    return static_cast<int>(
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SAMPLE), nullptr, SampleProc, 0));
}
