#include "updater/shell/main_dlg_win.h"

#include <string>

#include "common/localized_text.h"
#include "resource.h"
#include "updater/wizard/busy_flag.h"
#include "updater/shell/shell_messages_win.h"
#include "updater/shell/startup_rules.h"

namespace {

constexpr UINT_PTR kPageTimer = 1;
const LocalizedText kTitleMiddle = {L" 업데이트 매니저 ", L" Update Manager "};

CMainDlg *g_mainWindow = nullptr;

}  // namespace

CMainDlg *GetMainWindow() { return g_mainWindow; }

void SetMainWindow(CMainDlg *window) { g_mainWindow = window; }

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSW windowClass{};
    if (!GetClassInfoW(instance, WC_DIALOG, &windowClass))
        return false;
    windowClass.lpszClassName = kMainWindowClass;
    windowClass.hInstance = instance;
    return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

CMainDlg::~CMainDlg() {
    // The pages are children: they go with the window, before their objects do.
    Destroy();
}

bool CMainDlg::Create(HINSTANCE instance) {
    return CDialogWindow::Create(instance, IDD_MAIN, nullptr);
}

void CMainDlg::OnInitDialog() {
    std::wstring title = std::wstring(L"Tessel") + Localized(kTitleMiddle) + kOwnVersion;
    SetWindowTextW(Handle(), title.c_str());

    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(Handle(), GWLP_HINSTANCE));
    for (CWizardPage *page : {static_cast<CWizardPage *>(&m_searchPage),
                              static_cast<CWizardPage *>(&m_selectPage),
                              static_cast<CWizardPage *>(&m_progressPage)})
        page->SetHost(this);
    m_searchPage.Create(instance, IDD_SEARCH_PAGE, Handle());
    m_selectPage.Create(instance, IDD_SELECT_PAGE, Handle());
    m_progressPage.Create(instance, IDD_PROGRESS_PAGE, Handle());
    RECT client{};
    GetClientRect(Handle(), &client);
    OnSize(client.right, client.bottom);

    m_icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TESSEL));
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
}

CWizardPage *CMainDlg::Page(int page) {
    switch (page) {
    case kSearchPage: return &m_searchPage;
    case kSelectPage: return &m_selectPage;
    case kProgressPage: return &m_progressPage;
    default: return nullptr;
    }
}

void CMainDlg::ShowPage(int page, bool start) {
    if (page != kNoPage) {
        for (int p = kSearchPage; p <= kProgressPage; ++p)
            ShowWindow(Page(p)->Handle(), SW_HIDE);
    }
    m_currentPage = page;
    if (CWizardPage *shown = Page(page))
        ShowWindow(shown->Handle(), SW_SHOW);
    if (start)
        SetTimer(Handle(), kPageTimer, 1, nullptr);
    else
        m_lastPage = m_currentPage;
}

void CMainDlg::ShowFoundRows(ComponentList rows) {
    m_selectPage.SetRows(std::move(rows));
    ShowPage(kSelectPage, true);
}

void CMainDlg::StartInstall(std::vector<PackageList> rows) {
    m_progressPage.SetPlanRows(std::move(rows));
    ShowPage(kProgressPage, true);
}

void CMainDlg::OnPageTimer() {
    KillTimer(Handle(), kPageTimer);
    if (CWizardPage *page = Page(m_currentPage))
        page->Start();
    m_lastPage = m_currentPage;
}

void CMainDlg::OnActivate(WPARAM wParam) {
    // wParam is a signed request code in a WPARAM: 1 from start-up, 0 from a second copy.
    PageRequest request = PageForActivation(static_cast<LONG_PTR>(wParam), m_lastPage);
    ShowPage(request.page, request.start);
    if (!IsWindowVisible(Handle()))
        ShowWindow(Handle(), SW_SHOWNORMAL);
    SetForegroundWindow(Handle());
    SetFocus(Handle());
}

void CMainDlg::OnSize(int width, int height) {
    if (!m_searchPage.Handle())
        return;
    for (int p = kSearchPage; p <= kProgressPage; ++p)
        MoveWindow(Page(p)->Handle(), 0, 0, width, height, TRUE);
}

bool CMainDlg::OnPaintMinimised() {
    if (!IsIconic(Handle()))
        return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Handle(), &paint);
    SendMessageW(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(Handle(), &client);
    int iconWidth = GetSystemMetrics(SM_CXICON), iconHeight = GetSystemMetrics(SM_CYICON);
    DrawIcon(dc, (client.right - iconWidth + 1) / 2, (client.bottom - iconHeight + 1) / 2, m_icon);
    EndPaint(Handle(), &paint);
    return true;
}

void CMainDlg::StopTransfers() {
    m_searchPage.StopSearch();
    m_progressPage.StopTransfers();
}

void CMainDlg::OnClose() {
    StopTransfers();
    ShowPage(kNoPage, false);
    DestroyWindow(Handle());
    PostQuitMessage(0);
}

bool CMainDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) {
    const ShellMessages &shell = GetShellMessages();
    switch (message) {
    case WM_APP_ACTIVATE:
        OnActivate(wParam);
        result = 0;
        return true;
    case WM_TIMER:
        if (wParam != kPageTimer)
            return false;
        OnPageTimer();
        return true;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return false;
    case WM_PAINT:
        return OnPaintMinimised();
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<LRESULT>(m_icon);
        return true;
    case WM_CLOSE:
        // An installer is running: closing now would leave it half done.
        if (!IsInstallationBusy())
            OnClose();
        return true;
    case WM_DESTROY:
        StopTransfers();
        return false;
    default:
        break;
    }
    if (message == shell.trayNotify && message != 0) {
        PostThreadMessageW(GetWindowThreadProcessId(Handle(), nullptr), message, wParam, lParam);
        result = 0;
        return true;
    }
    if (message == shell.taskbarCreated && message != 0) {
        result = 0;
        return true;
    }
    return false;
}
