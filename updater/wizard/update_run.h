#ifndef UPDATER_WIZARD_UPDATE_RUN_H
#define UPDATER_WIZARD_UPDATE_RUN_H

#include <string>
#include <vector>

#include "updater/catalogue/component_list.h"
#include "updater/wizard/install_run.h"

// How an installer's run ended, as the process that waited for it saw it.
struct InstallerEnd {
    bool started = false;         // false: missing, not a program, no associated program
    unsigned long exitCode = 0;   // read only when it started
};

enum class RunEnd { kComplete, kFailed, kCancelled };

// What an update run asks of the world around it. The progress page does this
// with its worker controls and windows; an unattended run with no window at all.
// Long steps are asynchronous: each one is answered later by the UpdateRun
// event named beside it, on the thread that drives the run.
class UpdateRunActions {
public:
    virtual ~UpdateRunActions() = default;

    // -> OnDownloadFinished / OnDownloadFailed / OnDownloadStopped
    virtual void Download(const std::wstring &localFile, const std::wstring &remotePath) = 0;
    // Compares the file's size and SHA-256 with what the signed index says.
    // -> OnPackageVerified
    virtual void VerifyPackage(const std::wstring &localFile, const SignedDigest &digest) = 0;
    // Ends the maker program the package replaces. -> OnProgramClosed
    virtual void CloseRunningProgram(const PackagePlace &place) = 0;
    // -> OnUnpackFinished / OnUnpackFailed / OnUnpackStopped
    virtual void Unpack(const std::wstring &folder, const std::wstring &archive) = 0;
    // Starts the installer and waits for it (and for any driver installer it
    // leaves behind). -> OnInstallerEnded
    virtual void RunInstaller(const std::wstring &path) = 0;

    virtual bool FileExists(const std::wstring &path) = 0;
    virtual void CreateDesktopShortcut(const std::wstring &name, const std::wstring &description,
                                       const std::wstring &target,
                                       const std::wstring &workingFolder) = 0;
    virtual void RecordVersion(const std::wstring &component, const std::wstring &version) = 0;
    // Starts a program for the user and does not wait for it.
    virtual void StartProgram(const std::wstring &path) = 0;

    // What the run shows: a heading, a log only ever appended to, the status
    // line below the bars, and both bars at once.
    virtual void ShowHeading(const std::wstring &text) = 0;
    virtual void AppendLog(const std::wstring &text) = 0;
    virtual void ClearStatus() = 0;
    virtual void SetBars(int position) = 0;
    // The run is over; nothing more is asked.
    virtual void Ended(RunEnd end) = 0;
};

// What a run installs and where: the ticked rows' package lists in list order,
// copied, so that nothing the pages do later changes a run under way.
struct UpdatePlan {
    std::vector<PackageList> rows;
    std::wstring programFolder;   // Tessel's folder; packages land in its Temp
    std::wstring programFiles;    // the system's Program Files folder
    std::wstring server;          // the secondary server's address
    unsigned short langId = 0;    // the log's language
    // Signed mode: a package is unpacked or run only when its bytes match the
    // signed index's digest (carried by its entry).
    bool signedPackages = false;
};

// One update run from the ticked rows to the recorded versions: every package
// of every row in turn is downloaded, the maker program it replaces is closed,
// a ZIP is unpacked below Program Files and its Setup.exe or Setup.msi run (or
// a desktop shortcut made), any other file is run itself; after a row's last
// package its version is recorded and a closed program is started again. The
// first failure ends the run with its text as heading and log line.
//
// It owns the run's order and rules and nothing else: no window, no thread, no
// system call. Whoever drives it performs the actions it asks for and feeds the
// results back through the events below; events that do not fit the step the
// run is at (a late notice, anything after the end) are ignored.
class UpdateRun {
public:
    enum class Step {
        kIdle, kDownloading, kVerifying, kClosingProgram, kUnpacking, kInstalling, kEnded
    };

    explicit UpdateRun(UpdateRunActions &actions) : m_actions(actions) {}

    // Starts with the plan's first package. False when the plan holds none (no
    // action is asked then, and the run stays idle).
    bool Start(UpdatePlan plan);

    void OnDownloadFinished();
    void OnDownloadFailed(const std::wstring &errorText);
    void OnDownloadStopped();
    void OnPackageVerified(bool matches);
    void OnProgramClosed(const std::wstring &restartPath);
    void OnUnpackFinished();
    void OnUnpackFailed(const std::wstring &errorText);
    void OnUnpackStopped();
    void OnInstallerEnded(const InstallerEnd &end);

    // The user's Cancel. Refused (false) while an installer runs: leaving it
    // half done is worse than waiting. Otherwise the run ends as cancelled; the
    // driver stops its download or unpacking itself.
    bool Cancel();

    Step CurrentStep() const { return m_step; }
    bool Installing() const { return m_step == Step::kInstalling; }
    const PackagePlace &Place() const { return m_place; }

private:
    bool NextPackage();
    void BeginPackage();
    void CloseProgram();
    void InstallUnpacked();
    void FinishPackage();
    void Fail(const std::wstring &errorText);
    void Complete();
    void End(RunEnd end);
    void RestartClosedProgram();
    std::wstring Heading() const;
    std::wstring PackagePath() const;

    UpdateRunActions &m_actions;
    UpdatePlan m_plan;
    InstallSequence m_sequence;
    PackagePlace m_place;
    std::wstring m_installerPath;  // the installer being waited for
    std::wstring m_restartPath;    // a maker program closed for this package
    Step m_step = Step::kIdle;
};

// The texts a failed installer ends a run with, in the language `langId` names.
std::wstring InstallerNotStartedText(const std::wstring &fileName, unsigned short langId);
std::wstring InstallerFailedText(const std::wstring &fileName, unsigned long exitCode,
                                 unsigned short langId);
std::wstring PackageNotSignedText(const std::wstring &fileName, unsigned short langId);
std::wstring PackageFolderRefusedText(const std::wstring &fileName, unsigned short langId);
// msiexec's exit codes that mean success (0, and 1641 and 3010: a restart is due).
bool IsMsiSuccess(unsigned long exitCode);

#endif
