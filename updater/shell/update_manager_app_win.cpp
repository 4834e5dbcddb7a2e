#include "updater/shell/update_manager_app_win.h"

#include <commctrl.h>

#include "common/folders.h"
#include "common/registry_key.h"
#include "common/system_folders.h"
#include "updater/identify/device_info_win.h"
#include "updater/identify/windows_version_win.h"
#include "updater/shell/autostart_win.h"
#include "updater/identify/device_profile.h"
#include "updater/shell/shell_messages_win.h"
#include "updater/shell/startup_rules.h"
#include "updater/unattended/unattended_run_win.h"

#include <cwchar>

#include "common/text.h"

CUpdateManagerApp::CUpdateManagerApp(HINSTANCE instance)
    : m_instance(instance), m_mutex(kSingleInstanceName), m_latestVersion(kOwnVersion) {
    RegisterShellMessages();
}

CUpdateManagerApp::~CUpdateManagerApp() { SetMainWindow(nullptr); }

int CUpdateManagerApp::Run(const wchar_t *arguments) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    if (InitInstance(arguments ? arguments : L""))
        m_exitCode = MessageLoop();
    ExitInstance();
    return m_exitCode;
}

bool CUpdateManagerApp::InitInstance(const std::wstring &arguments) {
    m_mode = ParseStartOptions(arguments);
    if (m_mode == StartMode::kHelp) {
        ShowHelp();
        m_secondCopy = true;  // nothing of this start touches the folders
        return false;
    }
    const bool unattended = m_mode == StartMode::kUnattended || m_mode == StartMode::kList;

    // Before identifying: a second copy would install and remove the memory
    // driver's service while the first copy may be reading through it.
    if (m_mutex.AlreadyExists()) {
        m_secondCopy = true;
        if (unattended) {
            CRunLogFile(m_mode == StartMode::kList).Write(L"Another Tessel is running: nothing done.");
            m_exitCode = kExitAnotherCopy;
        } else {
            BringFirstCopyForward();
        }
        return false;
    }

    IdentifyDevice();

    RecordOwnVersion();
    RemoveAutostart();
    if (unattended) {
        m_exitCode = RunUnattended();
        return false;
    }
    if (UpdateSelf())
        return false;

    if (!RegisterMainWindowClass(m_instance))
        return false;
    m_mainWindow = MakeMainDialog();
    if (!m_mainWindow->Create(m_instance))
        return false;
    SetMainWindow(m_mainWindow.get());

    // Leftovers of an earlier self-update or installation.
    DeleteFolderTree(TempFolderOf(GetProgramFolder()));

    if (m_mode == StartMode::kWindowsStart)
        m_mainWindow->ShowPage(kNoPage, false);  // hidden until a second copy asks for it
    else
        SendMessageW(m_mainWindow->Handle(), WM_APP_ACTIVATE, 1, 0);
    return true;
}

int CUpdateManagerApp::RunUnattended() {
    CRunLogFile log(m_mode == StartMode::kList);
    // A list changes nothing, not even Tessel itself.
    if (m_mode == StartMode::kUnattended && UpdateSelfUnattended(log))
        return kExitSelfUpdateStarted;
    // Leftovers of an earlier self-update or installation.
    DeleteFolderTree(TempFolderOf(GetProgramFolder()));
    CUnattendedRun run(m_mode, log);
    return run.Run();
}

void CUpdateManagerApp::ShowHelp() {
    // Written to the output or console the program was started from, and
    // without one in a message box.
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    const std::string text = NarrowUtf8(kStartOptionsHelp);
    DWORD written = 0;
    if (output && output != INVALID_HANDLE_VALUE &&
        WriteFile(output, text.data(), DWORD(text.size()), &written, nullptr))
        return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        WriteConsoleW(GetStdHandle(STD_OUTPUT_HANDLE), kStartOptionsHelp,
                      DWORD(wcslen(kStartOptionsHelp)), &written, nullptr);
        return;
    }
    MessageBoxW(nullptr, kStartOptionsHelp, L"Tessel", MB_OK | MB_ICONINFORMATION);
}

void CUpdateManagerApp::IdentifyDevice() {
    DeviceIdentity identity;
    for (const wchar_t *family : {L"MID", L"CMPC"}) {
        CDeviceInfo device;
        if (device.Identify(family)) {
            identity = {family, device.ModelName(), device.ModelSuffix(), device.Serial()};
            break;
        }
    }
    std::wstring productName;
    GetWindowsProductName(productName);
    SetDeviceProfile(BuildDeviceProfile(identity, productName));
}

void CUpdateManagerApp::BringFirstCopyForward() {
    // Not found while the first copy is still starting up: this copy just ends.
    HWND first = FindWindowW(kMainWindowClass, nullptr);
    if (!first)
        return;
    ShowWindow(first, SW_SHOWNORMAL);
    SetForegroundWindow(first);
    SetFocus(first);
    SendMessageW(first, WM_APP_ACTIVATE, 0, 0);
}

void CUpdateManagerApp::RecordOwnVersion() {
    const std::wstring path = ProductKeyPath(GetDeviceProfile().family);
    CRegistryKey key;
    if (!key.Open(path) && !key.Create(path))
        return;
    key.SetValue(L"version", kOwnVersion, REG_SZ);
    key.SetValue(L"Run", GetProgramFolder() + kProgramFileName, REG_SZ);
}

int CUpdateManagerApp::MessageLoop() {
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1)
            break;
        // Thread messages (the notification-area messages) have no window: consumed.
        if (!message.hwnd)
            continue;
        HWND main = m_mainWindow ? m_mainWindow->Handle() : nullptr;
        if (main && IsDialogMessageW(main, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return got == 0 ? static_cast<int>(message.wParam) : 0;
}

void CUpdateManagerApp::ExitInstance() {
    // A second copy leaves the folder alone: the first copy may be downloading into it.
    if (m_secondCopy)
        return;
    // The setup just started reads its own file while it installs, and Wine
    // (unlike Windows) lets a running program's file be deleted: the folder
    // stays until the next start removes it.
    if (!m_launchedSetup.empty())
        return;
    const std::wstring temp = TempFolderOf(GetProgramFolder());
    if (GetFileAttributesW(temp.c_str()) != INVALID_FILE_ATTRIBUTES)
        DeleteFolderTree(temp);
}
