#ifndef TESTS_E2E_TESSEL_TESSEL_PROCESS_WIN_H
#define TESTS_E2E_TESSEL_TESSEL_PROCESS_WIN_H

#include <windows.h>

#include <memory>
#include <string>

#include "tests/driver/window_driver.h"
#include "updater/res/resource.h"

// Tessel's controls, by the names the tests use.
constexpr int kList = IDC_COMPONENT_LIST;
constexpr int kStartInstall = IDC_START_INSTALL;
constexpr int kCancel = IDC_CANCEL_PAGE;
constexpr int kComplete = IDC_COMPLETE;
constexpr int kLog = IDC_LOG;
constexpr int kCheckAll = IDC_CHECK_ALL;
constexpr int kDownloadBar = IDC_DOWNLOAD_PROGRESS;
constexpr int kExtractBar = IDC_EXTRACT_PROGRESS;
constexpr int kHeading = IDC_HEADING;
constexpr int kStatus = IDC_STATUS;

// Whether the test runs on a Korean system (TESSEL_EXPECT_LANGUAGE=ko) and
// expects Tessel's Korean texts.
bool ExpectKorean();

// Tessel copied into a program folder of its own inside the prefix, started and
// ended the way a user would.
class TesselInstall {
public:
    // Copies `program` (a Unix path of the build) to `folder`\Tessel.exe.
    TesselInstall(const std::string &program, const std::wstring &folder);

    const std::wstring &Folder() const { return m_folder; }
    std::wstring ExePath() const { return m_folder + L"\\Tessel.exe"; }
    std::wstring TempFolder() const { return m_folder + L"\\Temp"; }
    bool Installed() const { return m_installed; }

    // Starts a copy with `arguments` (as typed after the program's name).
    std::unique_ptr<windriver::Process> Start(const std::wstring &arguments = L"") const;

private:
    std::wstring m_folder;
    bool m_installed = false;
};

// How long a start of Tessel may take until its window exists or a second copy has
// ended: start-up identifies the device first, and under Wine the memory driver's
// failed service start alone takes up to 10 s.
constexpr DWORD kTesselStartMs = 60000;

// The main window (class "Tessel") of process `processId`, shown or hidden;
// waits up to `timeoutMs`.
HWND WaitMainWindow(DWORD processId, DWORD timeoutMs = kTesselStartMs);
// Asks the window to close and waits for the process to end.
bool CloseAndWait(HWND mainWindow, windriver::Process &process, DWORD timeoutMs = 10000);
// The page (child dialog) that holds control `id` and is visible, or null.
HWND VisiblePageWith(HWND mainWindow, int id);

// HKEY_LOCAL_MACHINE string values, for what start-up writes and removes.
bool ReadMachineString(const std::wstring &key, const std::wstring &name, std::wstring &value);
bool WriteMachineString(const std::wstring &key, const std::wstring &name, const std::wstring &value);
void DeleteMachineKey(const std::wstring &key);

// Makes Wine report Windows version `wineVersion` ("winxp", "vista", "win7"...)
// to the program `exeName` alone, so that tests running beside it keep theirs;
// an empty version removes the setting. False when the key cannot be written.
bool ReportWindowsVersionTo(const std::wstring &exeName, const std::wstring &wineVersion);

// A Unix path of the build or of a test's state, as Windows programs in the
// prefix see it (through drive Z:).
std::wstring WindowsPathOfUnix(const std::wstring &unixPath);
std::wstring WindowsPathOfUnix(const std::string &unixPath);
// An environment variable's value, empty when it is not set.
std::wstring EnvironmentText(const wchar_t *name);

// Writes `text` to `path`, making the folders on the way.
bool WriteFileWithFolders(const std::wstring &path, const std::string &text);
bool Exists(const std::wstring &path);

#endif
