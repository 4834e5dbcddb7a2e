#include "updater/wizard/progress_page_win.h"

#include <commctrl.h>

#include "common/localized_text.h"
#include "resource.h"
#include "updater/transfer/download_texts.h"
#include "updater/wizard/page_activation.h"
#include "updater/wizard/page_texts.h"

void CProgressPage::OnInitDialog() {
    SetItemText(IDC_COMPLETE, Localized(kCompleteText));
    SetItemText(IDC_CANCEL_PAGE, Localized(kCancelText));
    AttachWorkers(Handle(), Item(IDC_DOWNLOAD_PROGRESS), Item(IDC_EXTRACT_PROGRESS));
}

void CProgressPage::Start() {
    SetBars(0);
    ShowItem(IDC_STATUS, true);
    ShowItem(IDC_COMPLETE, false);
    ShowItem(IDC_CANCEL_PAGE, true);
    m_log.clear();
    SetItemText(IDC_LOG, L"");
    SetItemText(IDC_STATUS, L"");
    UpdateWindow(Handle());
    SetTimer(Handle(), kWorkTimer, 1, nullptr);
}

void CProgressPage::ShowHeading(const std::wstring &text) {
    SetItemText(IDC_HEADING, text.c_str());
}

void CProgressPage::AppendLog(const std::wstring &text) {
    m_log += text;
    SetItemText(IDC_LOG, m_log.c_str());
    ShowLogEnd();
}

void CProgressPage::ShowLogEnd() const {
    HWND log = Item(IDC_LOG);
    const LPARAM end = static_cast<LPARAM>(m_log.size());
    SendMessageW(log, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(log, EM_SCROLLCARET, 0, 0);
}

void CProgressPage::ClearStatus() { SetItemText(IDC_STATUS, L""); }

void CProgressPage::SetBars(int position) {
    SendMessageW(Item(IDC_DOWNLOAD_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(position), 0);
    SendMessageW(Item(IDC_EXTRACT_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void CProgressPage::OnDownloadProgress(const DownloadTexts &texts) {
    SetItemText(IDC_STATUS, DownloadStatusLine(L"", texts.size, texts.speed).c_str());
}

void CProgressPage::Ended(RunEnd end) {
    if (end != RunEnd::kComplete)
        return;  // a failure leaves Cancel as the way out
    ShowItem(IDC_STATUS, false);
    ShowItem(IDC_COMPLETE, true);
    ShowItem(IDC_CANCEL_PAGE, false);
    ShowPage(kNoPage, true);
}

bool CProgressPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) {
    if (OnNotice(message, wParam, lParam)) {
        result = 0;
        return true;
    }
    switch (message) {
    case WM_TIMER:
        if (wParam != kWorkTimer)
            break;
        KillTimer(Handle(), kWorkTimer);
        StartRun(m_rows);
        return true;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_COMPLETE && HIWORD(wParam) == BN_CLICKED) {
            CloseMainWindow();
            return true;
        }
        break;
    case WM_DESTROY:
        StopWorkers();
        break;
    default:
        break;
    }
    return CWizardPage::OnMessage(message, wParam, lParam, result);
}
