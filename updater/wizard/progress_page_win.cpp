#include "updater/wizard/progress_page_win.h"

#include <commctrl.h>
#include <shlobj.h>

#include "common/localized_text.h"
#include "common/registry_key.h"
#include "common/shortcuts.h"
#include "common/system_folders.h"
#include "resource.h"
#include "updater/wizard/page_activation.h"
#include "updater/catalogue/program_names.h"
#include "updater/transfer/download_texts.h"
#include "updater/transfer/ftp_endpoint.h"
#include "updater/wizard/installer_process_win.h"
#include "updater/wizard/page_texts.h"
#include "updater/wizard/running_component_win.h"
#include "updater/wizard/select_page_win.h"

namespace {

const wchar_t kVersionKeyRoot[] = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni\\";

unsigned short SystemLanguage() { return SystemIsKorean() ? kKoreanLangId : 0; }

bool FileExists(const std::wstring &path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void CProgressPage::OnInitDialog() {
    SetItemText(IDC_COMPLETE, Localized(kCompleteText));
    SetItemText(IDC_CANCEL_PAGE, Localized(kCancelText));
    m_download.Attach(Item(IDC_DOWNLOAD_PROGRESS));
    m_extract.Attach(Item(IDC_EXTRACT_PROGRESS));
}

void CProgressPage::Start() {
    SetProgressBars(0);
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
    m_download.Stop();
    m_extract.Stop();
}

void CProgressPage::StartInstall() {
    m_run.Reset(m_selectPage ? m_selectPage->CheckedPackages()
                             : std::vector<const PackageList *>{});
    m_restartPath.clear();
    m_programFiles.clear();
    GetSpecialFolder(m_programFiles, nullptr, CSIDL_PROGRAM_FILES);
    if (NextPackage())
        BeginPackage();
}

bool CProgressPage::NextPackage() {
    const PackageEntry *entry = m_run.Next();
    if (!entry)
        return false;
    m_place = PlacePackage(*entry, GetProgramFolder());
    return true;
}

void CProgressPage::ShowHeading() const {
    SetItemText(IDC_HEADING,
                RunHeading(m_run.RowOrdinal(), m_run.SelectedCount(), m_place.component,
                           m_place.version)
                    .c_str());
}

void CProgressPage::AppendLog(const std::wstring &text) {
    m_log += text;
    SetItemText(IDC_LOG, m_log.c_str());
}

void CProgressPage::ShowLogEnd() const {
    HWND log = Item(IDC_LOG);
    const LPARAM end = static_cast<LPARAM>(m_log.size());
    SendMessageW(log, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(log, EM_SCROLLCARET, 0, 0);
}

void CProgressPage::SetProgressBars(int position) const {
    SendMessageW(Item(IDC_DOWNLOAD_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(position), 0);
    SendMessageW(Item(IDC_EXTRACT_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void CProgressPage::BeginPackage() {
    ShowHeading();
    if (m_run.AtRowStart())
        AppendLog(m_place.component + L" " + m_place.version + L"\r\n");
    AppendLog(DownloadLogLine(m_place.fileName, SystemLanguage()));
    SetItemText(IDC_STATUS, L"");
    ShowLogEnd();
    SetProgressBars(0);

    const FtpEndpoint server = SecondaryServer();
    const bool started = m_download.Start(m_place.localFolder + L"\\" + m_place.fileName,
                                          RemotePackagePath(server.server, m_place), server.port,
                                          server.user, server.password, true);
    if (!started)
        EndRun(m_download.Texts().error);
}

void CProgressPage::OnDownloadNotify(LPARAM code) {
    switch (code) {
    case kDownloadProgress: {
        keybd_event(0, 0, 0, 0);
        const DownloadTexts texts = m_download.Texts();
        SetItemText(IDC_STATUS, DownloadStatusLine(L"", texts.size, texts.speed).c_str());
        break;
    }
    case kDownloadFinished: {
        m_download.Stop();
        ShowHeading();
        AppendLog(InstallLogLine(m_place.fileName, SystemLanguage()));
        SetItemText(IDC_STATUS, L"");
        ShowLogEnd();
        UpdateWindow(Handle());
        m_restartPath = CloseRunningComponent(m_place.component, m_place.packageName, m_programFiles);
        const std::wstring package = m_place.localFolder + L"\\" + m_place.fileName;
        if (IsZipPackage(m_place.fileName)) {
            if (!m_extract.Start(m_programFiles + L"\\" + m_place.packageName, package))
                EndRun(m_extract.ErrorText());
            return;  // the package goes on in OnExtractNotify
        }
        RunInstaller(package);
        FinishPackage();
        break;
    }
    case kDownloadStopped:
        m_download.Stop();
        break;
    case kDownloadFailed: {
        const std::wstring error = m_download.Texts().error;
        m_download.Stop();
        EndRun(error);
        break;
    }
    default:
        break;
    }
}

void CProgressPage::OnExtractNotify(LPARAM code) {
    switch (code) {
    case 0:
        keybd_event(0, 0, 0, 0);
        break;
    case CProgressExtract::kFinished: {
        m_extract.Stop();
        const std::wstring folder = m_programFiles + L"\\" + m_place.packageName;
        if (FileExists(folder + L"\\Setup.exe")) {
            RunInstaller(folder + L"\\Setup.exe");
        } else if (FileExists(folder + L"\\Setup.msi")) {
            RunInstaller(folder + L"\\Setup.msi");
        } else {
            const ProgramNames names = GetProgramNames(m_place.packageName);
            CreateShortcut(L"{DeskTop}", names.shortcutName, names.shortcutDescription,
                           folder + L"\\" + names.programFile, L"", folder, 0, true);
        }
        FinishPackage();
        break;
    }
    case CProgressExtract::kStopped:
        m_extract.Stop();
        break;
    case CProgressExtract::kFailed: {
        const std::wstring error = m_extract.ErrorText();
        m_extract.Stop();
        EndRun(error);
        break;
    }
    default:
        break;
    }
}

void CProgressPage::RecordVersion() const {
    const std::wstring key = kVersionKeyRoot + m_place.component;
    CRegistryKey versionKey;
    if (!versionKey.Open(key) && !versionKey.Create(key))
        return;
    versionKey.SetValue(L"version", m_place.version, REG_SZ);
    versionKey.Close();
}

void CProgressPage::FinishPackage() {
    if (m_run.AtRowEnd())
        RecordVersion();
    if (!m_restartPath.empty()) {
        StartProgram(m_restartPath);
        m_restartPath.clear();
    }
    SetProgressBars(100);
    if (NextPackage())
        BeginPackage();
    else
        CompleteRun();
}

void CProgressPage::EndRun(const std::wstring &errorText) {
    SetItemText(IDC_HEADING, errorText.c_str());
    AppendLog(errorText + L"\r\n");
    ShowLogEnd();
}

void CProgressPage::CompleteRun() {
    m_run.Reset({});
    const wchar_t *heading = Localized(kRunCompleteText);
    SetItemText(IDC_HEADING, heading);
    AppendLog(std::wstring(heading) + L"\r\n");
    SetItemText(IDC_STATUS, L"");
    ShowLogEnd();
    ShowItem(IDC_STATUS, false);
    ShowItem(IDC_COMPLETE, true);
    ShowItem(IDC_CANCEL_PAGE, false);
    ShowPage(kNoPage, true);
}

bool CProgressPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) {
    if (message == m_download.Message() && message != 0) {
        OnDownloadNotify(lParam);
        result = 0;
        return true;
    }
    if (message == CProgressExtract::Message() && message != 0) {
        OnExtractNotify(lParam);
        result = 0;
        return true;
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
