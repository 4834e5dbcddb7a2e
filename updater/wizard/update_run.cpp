#include "updater/wizard/update_run.h"

#include <utility>

#include "common/localized_text.h"
#include "common/paths.h"
#include "common/text.h"
#include "updater/catalogue/listing_names.h"
#include "updater/catalogue/program_names.h"

bool UpdateRun::Start(UpdatePlan plan) {
    m_plan = std::move(plan);
    m_sequence.Reset(m_plan.rows);
    m_restartPath.clear();
    m_step = Step::kIdle;
    if (!NextPackage())
        return false;
    BeginPackage();
    return true;
}

bool UpdateRun::NextPackage() {
    const PackageEntry *entry = m_sequence.Next();
    if (!entry)
        return false;
    m_place = PlacePackage(*entry, m_plan.programFolder);
    return true;
}

std::wstring UpdateRun::Heading() const {
    return RunHeading(m_sequence.RowOrdinal(), m_sequence.SelectedCount(), m_place.component,
                      m_place.version);
}

std::wstring UpdateRun::PackagePath() const {
    return m_place.localFolder + L"\\" + m_place.fileName;
}

void UpdateRun::BeginPackage() {
    m_actions.ShowHeading(Heading());
    if (m_sequence.AtRowStart())
        m_actions.AppendLog(m_place.component + L" " + m_place.version + L"\r\n");
    m_actions.AppendLog(DownloadLogLine(m_place.fileName, m_plan.langId));
    m_actions.ClearStatus();
    m_actions.SetBars(0);
    m_step = Step::kDownloading;
    m_actions.Download(PackagePath(), RemotePackagePath(m_plan.server, m_place));
}

void UpdateRun::OnDownloadFinished() {
    if (m_step != Step::kDownloading)
        return;
    m_actions.ShowHeading(Heading());
    m_actions.AppendLog(InstallLogLine(m_place.fileName, m_plan.langId));
    m_actions.ClearStatus();
    if (!m_plan.signedPackages)
        return CloseProgram();
    // Nothing of a package is unpacked or run before its bytes are the signed ones.
    const SignedDigest &digest = m_sequence.Current()->digest;
    if (!digest.known)
        return Fail(PackageNotSignedText(m_place.fileName, m_plan.langId));
    m_step = Step::kVerifying;
    m_actions.VerifyPackage(PackagePath(), digest);
}

void UpdateRun::OnPackageVerified(bool matches) {
    if (m_step != Step::kVerifying)
        return;
    if (!matches)
        return Fail(PackageNotSignedText(m_place.fileName, m_plan.langId));
    CloseProgram();
}

void UpdateRun::CloseProgram() {
    m_step = Step::kClosingProgram;
    m_actions.CloseRunningProgram(m_place);
}

void UpdateRun::OnDownloadFailed(const std::wstring &errorText) {
    if (m_step == Step::kDownloading)
        Fail(errorText);
}

// A stop the run did not ask for (the window is closing): nothing follows.
void UpdateRun::OnDownloadStopped() {
    if (m_step == Step::kDownloading)
        End(RunEnd::kCancelled);
}

void UpdateRun::OnProgramClosed(const std::wstring &restartPath) {
    if (m_step != Step::kClosingProgram)
        return;
    m_restartPath = restartPath;
    if (IsZipPackage(m_place.fileName)) {
        const std::wstring folder = m_plan.programFiles + L"\\" + m_place.packageName;
        // The listers refuse such names already; a package never unpacks
        // anywhere but into its own folder below Program Files.
        if (!IsPackageFolderIn(m_plan.programFiles, folder))
            return Fail(PackageFolderRefusedText(m_place.fileName, m_plan.langId));
        m_step = Step::kUnpacking;
        m_actions.Unpack(folder, PackagePath());
        return;
    }
    m_step = Step::kInstalling;
    m_installerPath = PackagePath();
    m_actions.RunInstaller(m_installerPath);
}

void UpdateRun::OnUnpackFinished() {
    if (m_step == Step::kUnpacking)
        InstallUnpacked();
}

void UpdateRun::OnUnpackFailed(const std::wstring &errorText) {
    if (m_step == Step::kUnpacking)
        Fail(errorText);
}

void UpdateRun::OnUnpackStopped() {
    if (m_step == Step::kUnpacking)
        End(RunEnd::kCancelled);
}

// The unpacked folder's Setup.exe, else its Setup.msi; a folder with neither
// holds a program that only needs a shortcut.
void UpdateRun::InstallUnpacked() {
    const std::wstring folder = m_plan.programFiles + L"\\" + m_place.packageName;
    for (const wchar_t *setup : {L"Setup.exe", L"Setup.msi"}) {
        const std::wstring path = folder + L"\\" + setup;
        if (m_actions.FileExists(path)) {
            m_step = Step::kInstalling;
            m_installerPath = path;
            m_actions.RunInstaller(path);
            return;
        }
    }
    const ProgramNames names = GetProgramNames(m_place.packageName);
    m_actions.CreateDesktopShortcut(names.shortcutName, names.shortcutDescription,
                                    folder + L"\\" + names.programFile, folder);
    FinishPackage();
}

void UpdateRun::OnInstallerEnded(const InstallerEnd &end) {
    if (m_step != Step::kInstalling)
        return;
    const std::wstring fileName = LocalNameOf(m_installerPath);
    if (!end.started)
        return Fail(InstallerNotStartedText(fileName, m_plan.langId));
    // Only msiexec's exit codes have an agreed meaning; other installers' do not.
    if (EndsWithNoCase(m_installerPath, L".msi") && !IsMsiSuccess(end.exitCode))
        return Fail(InstallerFailedText(fileName, end.exitCode, m_plan.langId));
    FinishPackage();
}

void UpdateRun::FinishPackage() {
    if (m_sequence.AtRowEnd())
        m_actions.RecordVersion(m_place.component, m_place.version);
    RestartClosedProgram();
    m_actions.SetBars(100);
    if (NextPackage())
        BeginPackage();
    else
        Complete();
}

void UpdateRun::RestartClosedProgram() {
    if (m_restartPath.empty())
        return;
    m_actions.StartProgram(m_restartPath);
    m_restartPath.clear();
}

void UpdateRun::Fail(const std::wstring &errorText) {
    // The user's program was closed for this package: it comes back either way.
    RestartClosedProgram();
    m_actions.ShowHeading(errorText);
    m_actions.AppendLog(errorText + L"\r\n");
    End(RunEnd::kFailed);
}

void UpdateRun::Complete() {
    const std::wstring heading = PickText(kRunCompleteText, m_plan.langId);
    m_actions.ShowHeading(heading);
    m_actions.AppendLog(heading + L"\r\n");
    m_actions.ClearStatus();
    End(RunEnd::kComplete);
}

void UpdateRun::End(RunEnd end) {
    m_step = Step::kEnded;
    m_actions.Ended(end);
}

bool UpdateRun::Cancel() {
    if (m_step == Step::kInstalling)
        return false;
    if (m_step != Step::kEnded && m_step != Step::kIdle)
        End(RunEnd::kCancelled);
    return true;
}

std::wstring InstallerNotStartedText(const std::wstring &fileName, unsigned short langId) {
    if (langId == kKoreanLangId)
        return L"\"" + fileName + L"\" 파일을 실행할 수 없습니다.";
    return L"\"" + fileName + L"\" could not be started.";
}

std::wstring InstallerFailedText(const std::wstring &fileName, unsigned long exitCode,
                                 unsigned short langId) {
    const std::wstring code = std::to_wstring(exitCode);
    if (langId == kKoreanLangId)
        return L"\"" + fileName + L"\" 설치에 실패했습니다 (오류 " + code + L").";
    return L"\"" + fileName + L"\" failed to install (error " + code + L").";
}

std::wstring PackageNotSignedText(const std::wstring &fileName, unsigned short langId) {
    if (langId == kKoreanLangId)
        return L"\"" + fileName + L"\" 파일이 제조사가 서명한 파일과 다르므로 설치하지 않았습니다.";
    return L"\"" + fileName + L"\" is not the file the maker signed: it was not installed.";
}

std::wstring PackageFolderRefusedText(const std::wstring &fileName, unsigned short langId) {
    if (langId == kKoreanLangId)
        return L"\"" + fileName + L"\" 파일의 이름으로는 Program Files 아래에 폴더를 만들 수 없어 설치하지 않았습니다.";
    return L"\"" + fileName + L"\" does not name a folder below Program Files: it was not installed.";
}

bool IsMsiSuccess(unsigned long exitCode) {
    return exitCode == 0 || exitCode == 1641 || exitCode == 3010;
}
