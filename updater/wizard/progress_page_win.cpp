#include "updater/wizard/progress_page_win.h"

#include <commctrl.h>
#include <shlobj.h>

#include "common/localized_text.h"
#include "common/registry_key.h"
#include "common/shortcuts.h"
#include "common/system_folders.h"
#include "resource.h"
#include "updater/catalogue/inventory_rules.h"
#include "updater/transfer/download_texts.h"
#include "updater/transfer/ftp_endpoint.h"
#include "updater/wizard/busy_flag.h"
#include "updater/wizard/installer_process_win.h"
#include "updater/wizard/page_activation.h"
#include "updater/wizard/page_texts.h"
#include "updater/wizard/running_component_win.h"

namespace {

UINT ClosedMessage() {
    static const UINT message = RegisterWindowMessageW(L"CProgressPage::WM_PROGRAM_CLOSED");
    return message;
}

UINT InstallerMessage() {
    static const UINT message = RegisterWindowMessageW(L"CProgressPage::WM_INSTALLER_ENDED");
    return message;
}

}  // namespace

void CProgressPage::OnInitDialog() {
    SetItemText(IDC_COMPLETE, Localized(kCompleteText));
    SetItemText(IDC_CANCEL_PAGE, Localized(kCancelText));
    m_download.Attach(Item(IDC_DOWNLOAD_PROGRESS));
    m_extract.Attach(Item(IDC_EXTRACT_PROGRESS));
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

void CProgressPage::StopTransfers() {
    m_run.Cancel();
    m_download.Stop();
    m_extract.Stop();
    m_closer.Stop();
    m_installer.Stop();
    SetInstallationBusy(false);
}

void CProgressPage::StartInstall() {
    UpdatePlan plan;
    plan.rows = m_rows;
    plan.programFolder = GetProgramFolder();
    GetSpecialFolder(plan.programFiles, nullptr, CSIDL_PROGRAM_FILES);
    plan.server = SecondaryServer().server;
    plan.langId = SystemIsKorean() ? kKoreanLangId : 0;
    m_run.Start(std::move(plan));
}

// --- the run's actions ---

void CProgressPage::Download(const std::wstring &localFile, const std::wstring &remotePath) {
    const FtpEndpoint server = SecondaryServer();
    if (!m_download.Start(localFile, remotePath, server.port, server.user, server.password, true))
        m_run.OnDownloadFailed(m_download.Texts().error);
}

void CProgressPage::CloseRunningProgram(const PackagePlace &place) {
    UpdateWindow(Handle());
    std::wstring programFiles;
    GetSpecialFolder(programFiles, nullptr, CSIDL_PROGRAM_FILES);
    const std::wstring component = place.component, packageName = place.packageName;
    if (!m_closer.Start(Handle(), ClosedMessage(), [=](HANDLE) {
            return CloseRunningComponent(component, packageName, programFiles);
        }))
        m_run.OnProgramClosed(L"");
}

void CProgressPage::Unpack(const std::wstring &folder, const std::wstring &archive) {
    if (!m_extract.Start(folder, archive))
        m_run.OnUnpackFailed(m_extract.ErrorText());
}

void CProgressPage::RunInstaller(const std::wstring &path) {
    // The main window refuses to close while the installer runs.
    SetInstallationBusy(true);
    if (!m_installer.Start(Handle(), InstallerMessage(), [path](HANDLE stop) {
            return RunInstallerAndWait(path, stop);
        })) {
        SetInstallationBusy(false);
        m_run.OnInstallerEnded(InstallerEnd());
    }
}

bool CProgressPage::FileExists(const std::wstring &path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CProgressPage::CreateDesktopShortcut(const std::wstring &name, const std::wstring &description,
                                          const std::wstring &target,
                                          const std::wstring &workingFolder) {
    CreateShortcut(L"{DeskTop}", name, description, target, L"", workingFolder, 0, true);
}

void CProgressPage::RecordVersion(const std::wstring &component, const std::wstring &version) {
    const std::wstring key = MakerVersionKey(component);
    CRegistryKey versionKey;
    if (!versionKey.Open(key) && !versionKey.Create(key))
        return;
    versionKey.SetValue(L"version", version, REG_SZ);
    versionKey.Close();
}

void CProgressPage::StartProgram(const std::wstring &path) { ::StartProgram(path); }

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

void CProgressPage::Ended(RunEnd end) {
    if (end != RunEnd::kComplete)
        return;  // a failure leaves Cancel as the way out
    ShowItem(IDC_STATUS, false);
    ShowItem(IDC_COMPLETE, true);
    ShowItem(IDC_CANCEL_PAGE, false);
    ShowPage(kNoPage, true);
}

// --- the workers' notices ---

void CProgressPage::OnDownloadNotice(LPARAM code) {
    m_download.ShowPosition();
    switch (code) {
    case kWorkerProgress: {
        // A long download must not look like an idle user to the system.
        keybd_event(0, 0, 0, 0);
        const DownloadTexts texts = m_download.Texts();
        if (m_run.CurrentStep() == UpdateRun::Step::kDownloading)
            SetItemText(IDC_STATUS, DownloadStatusLine(L"", texts.size, texts.speed).c_str());
        break;
    }
    case kWorkerFinished:
        m_download.Stop();
        m_run.OnDownloadFinished();
        break;
    case kWorkerStopped:
        m_download.Stop();
        m_run.OnDownloadStopped();
        break;
    case kWorkerFailed: {
        const std::wstring error = m_download.Texts().error;
        m_download.Stop();
        m_run.OnDownloadFailed(error);
        break;
    }
    default:
        break;
    }
}

void CProgressPage::OnExtractNotice(LPARAM code) {
    m_extract.ShowPosition();
    switch (code) {
    case kWorkerProgress:
        keybd_event(0, 0, 0, 0);
        break;
    case kWorkerFinished:
        m_extract.Stop();
        m_run.OnUnpackFinished();
        break;
    case kWorkerStopped:
        m_extract.Stop();
        m_run.OnUnpackStopped();
        break;
    case kWorkerFailed: {
        const std::wstring error = m_extract.ErrorText();
        m_extract.Stop();
        m_run.OnUnpackFailed(error);
        break;
    }
    default:
        break;
    }
}

void CProgressPage::OnClosedNotice(LPARAM code) {
    m_closer.Stop();
    if (code == kWorkerFinished)
        m_run.OnProgramClosed(m_closer.TakeResult());
}

void CProgressPage::OnInstallerNotice(LPARAM code) {
    m_installer.Stop();
    SetInstallationBusy(false);
    if (code == kWorkerFinished)
        m_run.OnInstallerEnded(m_installer.TakeResult());
}

bool CProgressPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) {
    if (message != 0 && wParam == 0) {
        void (CProgressPage::*handler)(LPARAM) = nullptr;
        if (message == m_download.Message()) handler = &CProgressPage::OnDownloadNotice;
        else if (message == CProgressExtract::Message()) handler = &CProgressPage::OnExtractNotice;
        else if (message == ClosedMessage()) handler = &CProgressPage::OnClosedNotice;
        else if (message == InstallerMessage()) handler = &CProgressPage::OnInstallerNotice;
        if (handler) {
            (this->*handler)(lParam);
            result = 0;
            return true;
        }
    }
    switch (message) {
    case WM_TIMER:
        if (wParam != kWorkTimer)
            break;
        KillTimer(Handle(), kWorkTimer);
        StartInstall();
        return true;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_COMPLETE && HIWORD(wParam) == BN_CLICKED) {
            CloseMainWindow();
            return true;
        }
        break;
    case WM_DESTROY:
        StopTransfers();
        break;
    default:
        break;
    }
    return CWizardPage::OnMessage(message, wParam, lParam, result);
}
