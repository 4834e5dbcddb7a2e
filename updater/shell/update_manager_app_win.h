#ifndef UPDATER_SHELL_UPDATE_MANAGER_APP_WIN_H
#define UPDATER_SHELL_UPDATE_MANAGER_APP_WIN_H

#include <windows.h>

#include <memory>
#include <string>

#include "common/single_instance_mutex.h"
#include "common/text_list_table.h"
#include "updater/identify/physical_memory_win.h"
#include "updater/catalogue/release_index.h"
#include "updater/shell/main_dlg_win.h"
#include "updater/shell/self_update_paths.h"
#include "updater/unattended/run_log_win.h"
#include "updater/unattended/start_options.h"

class CFtpAccess;

// The update manager from launch to exit: fixes the device profile, refuses a
// second copy (bringing the first forward), records its version, removes the
// autostart entry, checks for a newer version of itself, then runs the hidden
// main window until it closes. The temporary folder is removed at start and exit.
// Started with /unattended or /list it shows no window at all: the run goes to
// its log and its result to the exit code.
class CUpdateManagerApp {
public:
    explicit CUpdateManagerApp(HINSTANCE instance);
    ~CUpdateManagerApp();
    CUpdateManagerApp(const CUpdateManagerApp &) = delete;
    CUpdateManagerApp &operator=(const CUpdateManagerApp &) = delete;

    // `arguments`: the command line without the program name. Returns the exit code.
    int Run(const wchar_t *arguments);

    const TextList &VersionFolders() const { return m_versionFolders; }
    const std::wstring &LatestVersion() const { return m_latestVersion; }

private:
    bool InitInstance(const std::wstring &arguments);
    void IdentifyDevice();
    void BringFirstCopyForward();
    void RecordOwnVersion();
    // True when a newer version's setup took over (or its download was cancelled):
    // the program then ends.
    bool UpdateSelf();
    // The same with no window and no question: a newer setup is fetched and
    // started with "/S". True when it was started.
    bool UpdateSelfUnattended(CRunLogFile &log);
    // /unattended and /list after start-up; the exit code.
    int RunUnattended();
    void ShowHelp();
    bool FindLatestVersion(CFtpAccess &connection);
    // In signed mode the downloaded setup must be the file the primary's trusted
    // index names (it is deleted otherwise); always true in a keyless build.
    bool SetupIsSigned(const SelfUpdatePaths &paths);
    int MessageLoop();
    void ExitInstance();

    HINSTANCE m_instance;
    CSingleInstanceMutex m_mutex;
    // Never opened: keeps ntdll's section functions bound from start to exit, so the
    // identification attempts do not load and free them each time.
    CPhysicalMemory m_memoryBinding;
    bool m_secondCopy = false;
    StartMode m_mode = StartMode::kInteractive;
    int m_exitCode = 0;
    std::unique_ptr<CMainDlg> m_mainWindow;
    TextList m_versionFolders;
    std::unique_ptr<ReleaseIndex> m_selfUpdateIndex;  // signed mode: the primary's trusted index
    std::wstring m_latestVersion;
    // The setup a self-update started: it runs from the temporary folder.
    std::wstring m_launchedSetup;
};

#endif
