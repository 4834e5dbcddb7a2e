// The bundled sample installed and then uninstalled, through the wizard's
// windows and silently ("/S"), with the whole machine compared before the
// install and after the uninstall. The SetupWizardMachine and
// SetupWizardSilentMachine cases each run in a Wine prefix of their own:
// nothing else may change the machine meanwhile. SetupWizardSilent runs with
// the other cases in the shared prefix.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "setup/res/resource.h"
#include "tests/driver/polling.h"
#include "tests/driver/window_driver.h"
#include "tests/e2e/setup_wizard/setup_e2e_support.h"
#include "tests/harness/machine_snapshot_win.h"

using namespace windriver;
using namespace setup_e2e;

namespace {

const wchar_t kSampleCaption[] = L"marbo Viewer - Lite 2.1";
const wchar_t kSampleUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\marbo Viewer";
const wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";

std::string Trimmed(const std::string &line) {
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

// The sample's description as it stands, with its sources given in full (the
// description is built from another folder) and with the probe as AfterPath:
// Notepad, the sample's own, keeps its settings under HKCU\Software.
std::string SampleDescription(const std::string &afterFile) {
    std::string folder = Utf8(Given().sample);
    folder = folder.substr(0, folder.find_last_of('\\') + 1);
    std::istringstream in(FileText(Given().sample));
    std::string out, line, section;
    while (std::getline(in, line)) {
        const std::string text = Trimmed(line);
        if (!text.empty() && text[0] == '[') section = text;
        if (text.rfind("AfterPath", 0) == 0) {
            line = "AfterPath = " + Utf8(Given().probe);
        } else if (text.rfind("AfterParam", 0) == 0) {
            line = "AfterParam = \"" + afterFile + "\"";
        } else if (section == "[Files]" && !text.empty() && text[0] != '[' && text[0] != '#') {
            line = folder + text;
            for (char &c : line)
                if (c == '/') c = '\\';
        }
        out += line + "\n";
    }
    return out;
}

// The multi-string of files Windows renames or deletes at its next start.
std::vector<std::wstring> PendingFileRenames() {
    std::vector<std::wstring> entries;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return entries;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type, nullptr, &size) ==
            ERROR_SUCCESS &&
        type == REG_MULTI_SZ) {
        std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
        if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type,
                             reinterpret_cast<BYTE *>(data.data()), &size) == ERROR_SUCCESS) {
            // Pairs of source and target, each ended by a null; a deletion has an empty target.
            const wchar_t *end = data.data() + size / sizeof(wchar_t);
            for (const wchar_t *at = data.data(); at < end;) {
                entries.emplace_back(at);
                at += entries.back().size() + 1;
            }
        }
    }
    RegCloseKey(key);
    return entries;
}

// Windows deletes `file` at its next start: a source naming it ("\??\" + path)
// followed by an empty target.
bool DeletionPending(const std::wstring &file) {
    const std::vector<std::wstring> entries = PendingFileRenames();
    for (size_t i = 0; i + 1 < entries.size(); i += 2) {
        std::wstring source = entries[i];
        if (source.rfind(L"\\??\\", 0) == 0) source = source.substr(4);
        if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, source.c_str(), -1, file.c_str(),
                           -1) == CSTR_EQUAL &&
            entries[i + 1].empty())
            return true;
    }
    return false;
}

// The uninstaller copy's folder below `temp`: "marboSetup-" and 16 hex digits.
std::wstring CopyFolder(const std::wstring &temp) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((temp + L"\\marboSetup-????????????????").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return std::wstring();
    FindClose(search);
    return temp + L"\\" + found.cFileName;
}

void CreateKey(HKEY root, const wchar_t *path) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// A fresh machine that already has the maker's software (the parent keys are
// there) but not the sample, and the sample's package with the probe writing
// `afterFile` as AfterPath.
void PrepareMachine(const std::wstring &name, const std::wstring &afterFile, std::wstring &package) {
    ASSERT_FALSE(FolderExists(SpecialFolder(CSIDL_PROGRAM_FILES) + L"\\marbo Viewer"))
        << "this test needs a Wine prefix of its own";
    CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Parvoni");
    CreateKey(HKEY_CURRENT_USER, L"Software\\Parvoni");
    std::string detail;
    ASSERT_TRUE(BuildPackage(name, SampleDescription(Utf8(afterFile)), package, detail)) << detail;
}

TEST(SetupWizardMachine, UninstallLeavesTheMachineAsItWasBeforeTheInstall) {
    const std::wstring dir = SpecialFolder(CSIDL_PROGRAM_FILES) + L"\\marbo Viewer";
    const std::wstring temp = SpecialFolder(CSIDL_WINDOWS) + L"\\Temp";
    const std::wstring startMenuFolder = SpecialFolder(CSIDL_COMMON_STARTMENU) + L"\\marbo Viewer";
    const std::wstring afterFile = Given().work + L"\\sample-after.txt";
    std::wstring package;
    ASSERT_NO_FATAL_FAILURE(PrepareMachine(L"sample", afterFile, package));

    const MachineSnapshot before = TakeMachineSnapshot();

    // Install: welcome, Next, destination, Install, Complete (which starts the probe).
    Process setup;
    HWND wizard = OpenWizard(setup, package, kSampleCaption);
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(Click(wizard, IDC_NEXT));
    ASSERT_TRUE(Page(wizard, IDC_DESTINATION));
    ASSERT_TRUE(InstallAndComplete(wizard, setup));
    ASSERT_TRUE(PollUntil([&] { return FileExists(afterFile); }, 10000)) << "AfterPath did not run";
    ASSERT_TRUE(FileExists(dir + L"\\docs\\guide.txt"));
    ASSERT_TRUE(FileExists(startMenuFolder + L"\\User guide.lnk"));
    ASSERT_TRUE(
        FileExists(SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\marbo Viewer readme.lnk"));
    ASSERT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, L"Software\\Parvoni\\marbo Viewer"));
    // The snapshot sees what the install made, so an empty comparison later means something.
    const SnapshotChanges installed = CompareSnapshots(before, TakeMachineSnapshot());
    for (const std::wstring &entry : {dir + L"\\docs\\images\\", startMenuFolder + L"\\",
                                      std::wstring(L"HKLM\\Software\\Parvoni\\marbo Viewer\\"),
                                      std::wstring(L"HKCU\\Software\\Parvoni\\marbo Viewer\\")})
        EXPECT_NE(std::find(installed.added.begin(), installed.added.end(), entry),
                  installed.added.end())
            << Utf8(entry) << " not seen; the install added:\n"
            << DescribeChanges(installed);
    EXPECT_TRUE(installed.removed.empty()) << DescribeChanges(installed);

    // Something of the user's own in the installation folder: it stays, with its folder.
    ASSERT_TRUE(WriteFileBytes(dir + L"\\my notes.txt", {'m', 'i', 'n', 'e'}));

    // Uninstall as Windows would start it: from the installation folder, which
    // hands over to a copy in a folder of its own below the Windows Temp folder.
    std::wstring command;
    ASSERT_TRUE(
        RegistryString(HKEY_LOCAL_MACHINE,
                       L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\marbo Viewer",
                       L"UninstallString", command));
    Process first;
    ASSERT_TRUE(StartProgram(first, command));
    ASSERT_TRUE(Ends(first));
    wizard = WaitWizard(kSampleCaption);
    ASSERT_TRUE(wizard);
    Process copy;
    ASSERT_TRUE(copy.Attach(WindowProcess(wizard)));
    ASSERT_TRUE(Page(wizard, IDC_WELCOME_TEXT));
    ASSERT_TRUE(InstallToCompletion(wizard, IDC_UNINSTALL));
    ASSERT_TRUE(Click(wizard, IDC_COMPLETE));
    ASSERT_TRUE(Ends(copy));

    const SnapshotChanges left = CompareSnapshots(before, TakeMachineSnapshot());
    EXPECT_EQ(left.added, (std::vector<std::wstring>{dir + L"\\", dir + L"\\my notes.txt"}))
        << DescribeChanges(left);
    EXPECT_TRUE(left.removed.empty()) << DescribeChanges(left);
    EXPECT_FALSE(FolderExists(startMenuFolder));

    // The copy that ran the uninstall and its folder are left for Windows to
    // delete at its next start, which wineboot stands in for.
    const std::wstring folder = CopyFolder(temp);
    ASSERT_FALSE(folder.empty()) << "no marboSetup-<random> folder in " << Utf8(temp);
    const std::wstring tempCopy = folder + L"\\Uninstall.exe";
    EXPECT_TRUE(FileExists(tempCopy));
    EXPECT_TRUE(DeletionPending(tempCopy));
    EXPECT_TRUE(DeletionPending(folder));
    Process restart;
    ASSERT_TRUE(restart.Start(L"wineboot.exe --restart"));
    EXPECT_TRUE(restart.Wait(60000));
    EXPECT_FALSE(FolderExists(folder)) << "still there after the restart";
    EXPECT_FALSE(DeletionPending(tempCopy));
    EXPECT_FALSE(DeletionPending(folder));
}

// The silent runs' helpers: every one must end without any window appearing.

std::string Windows(const std::vector<std::wstring> &seen) {
    std::string text;
    for (const std::wstring &window : seen) text += "\n  " + Utf8(window);
    return text;
}

// Runs `commandLine` to its end; its exit code (STILL_ACTIVE when it did not end
// within 60 s). New windows of any process go to `seen`.
DWORD RunSilently(const std::wstring &commandLine, std::vector<std::wstring> &seen) {
    Process process;
    if (!StartProgram(process, commandLine)) return DWORD(-1);
    // The program is the command line's first part, quoted.
    const size_t close = commandLine.find(L'"', 1);
    const std::wstring program = commandLine.substr(1, close == std::wstring::npos ? 0 : close - 1);
    PollWithoutNewWindows([&] { return !process.Running(); }, 60000, seen,
                          {program.substr(program.find_last_of(L"\\/") + 1), L"Uninstall.exe"});
    if (process.Running()) process.Terminate();
    return process.ExitCode();
}

// The quiet uninstall as Windows starts it: the installed uninstaller hands
// over to its copy, which must get "/S" too (a copy without it would show the
// wizard and wait), and ends with 0; the copy then removes the product and
// ends with 0 as well.
void UninstallQuietly(std::vector<std::wstring> &seen) {
    std::wstring command;
    ASSERT_TRUE(RegistryString(HKEY_LOCAL_MACHINE, kSampleUninstallKey, L"QuietUninstallString",
                               command));
    Process first;
    ASSERT_TRUE(StartProgram(first, command));
    Process copy;
    bool attached = false;
    ASSERT_TRUE(PollWithoutNewWindows(
        [&] {
            if (!attached && first.Running()) return false;
            if (!attached) {
                const DWORD id = RunningProcessNamed(L"Uninstall.exe");
                attached = id != 0 && copy.Attach(id);
            }
            return !attached || !copy.Running();
        },
        60000, seen, {L"Uninstall.exe"}));
    EXPECT_EQ(first.ExitCode(), 0u);
    // The copy may already be over when the first has ended.
    if (attached) {
        EXPECT_EQ(copy.ExitCode(), 0u);
    }
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSampleUninstallKey));
}

TEST(SetupWizardSilentMachine, SilentInstallAndUninstallLeaveTheMachineAsItWas) {
    const std::wstring dir = SpecialFolder(CSIDL_PROGRAM_FILES) + L"\\marbo Viewer";
    const std::wstring temp = SpecialFolder(CSIDL_WINDOWS) + L"\\Temp";
    const std::wstring afterFile = Given().work + L"\\silent-after.txt";
    std::wstring package;
    ASSERT_NO_FATAL_FAILURE(PrepareMachine(L"sample-silent", afterFile, package));

    const MachineSnapshot before = TakeMachineSnapshot();
    std::vector<std::wstring> seen;
    ASSERT_EQ(RunSilently(L"\"" + package + L"\" /S", seen), 0u);
    EXPECT_TRUE(seen.empty()) << "windows during the silent install:" << Windows(seen);
    EXPECT_TRUE(FileExists(dir + L"\\docs\\guide.txt"));
    EXPECT_TRUE(FileExists(SpecialFolder(CSIDL_COMMON_STARTMENU) + L"\\marbo Viewer\\User guide.lnk"));
    std::wstring quiet;
    EXPECT_TRUE(RegistryString(HKEY_LOCAL_MACHINE, kSampleUninstallKey, L"QuietUninstallString", quiet));
    EXPECT_EQ(quiet, L"\"" + dir + L"\\Uninstall.exe\" /S");
    // Complete's actions belong to the pages: no AfterPath without them.
    Sleep(1000);
    EXPECT_FALSE(FileExists(afterFile));
    const SnapshotChanges installed = CompareSnapshots(before, TakeMachineSnapshot());
    EXPECT_NE(std::find(installed.added.begin(), installed.added.end(),
                        std::wstring(L"HKLM\\Software\\Parvoni\\marbo Viewer\\")),
              installed.added.end())
        << DescribeChanges(installed);

    UninstallQuietly(seen);
    EXPECT_TRUE(seen.empty()) << "windows during the silent uninstall:" << Windows(seen);
    const SnapshotChanges left = CompareSnapshots(before, TakeMachineSnapshot());
    EXPECT_TRUE(left.added.empty()) << DescribeChanges(left);
    EXPECT_TRUE(left.removed.empty()) << DescribeChanges(left);
    const std::wstring folder = CopyFolder(temp);
    ASSERT_FALSE(folder.empty()) << "no marboSetup-<random> folder in " << Utf8(temp);
    EXPECT_TRUE(DeletionPending(folder + L"\\Uninstall.exe"));
    EXPECT_TRUE(DeletionPending(folder));
}

// "/D=" and the exit codes of what the pages would have shown, in the shared prefix.
TEST(SetupWizardSilent, InstallsWhereToldAndEndsWithACodeForEachFailure) {
    const std::wstring defaultDir = SpecialFolder(CSIDL_PROGRAM_FILES) + L"\\marbo Viewer";
    const std::wstring dir = L"C:\\Silent Apps\\marbo Viewer";
    ASSERT_FALSE(FolderExists(defaultDir));
    std::wstring package, broken;
    std::string detail;
    ASSERT_TRUE(BuildPackage(L"sample-elsewhere", SampleDescription(Utf8(Given().work + L"\\x.txt")),
                             package, detail))
        << detail;
    ASSERT_TRUE(BuildPackage(L"sample-broken", SampleDescription(Utf8(Given().work + L"\\x.txt")),
                             broken, detail))
        << detail;
    ASSERT_TRUE(BreakEndRecord(broken));
    const std::wstring aFile = Given().work + L"\\a-file.txt";
    ASSERT_TRUE(WriteFileBytes(aFile, {'x'}));

    const std::wstring quoted = L"\"" + package + L"\" ";
    const struct {
        std::wstring commandLine;
        DWORD code;
    } failures[] = {
        {quoted + L"/S /Q", 1},
        {quoted + L"/S /D=Silent Apps\\marbo Viewer", 2},
        {quoted + L"/S /D=" + aFile + L"\\marbo Viewer", 2},
        {L"\"" + broken + L"\" /S", 4},
    };
    std::vector<std::wstring> seen;
    for (const auto &failure : failures) {
        EXPECT_EQ(RunSilently(failure.commandLine, seen), failure.code) << Utf8(failure.commandLine);
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSampleUninstallKey))
            << Utf8(failure.commandLine);
    }
    EXPECT_FALSE(FolderExists(defaultDir));

    // The rest of the line is the folder, blanks and all.
    ASSERT_EQ(RunSilently(quoted + L"/S /D=" + dir, seen), 0u);
    EXPECT_TRUE(FileExists(dir + L"\\docs\\guide.txt"));
    EXPECT_FALSE(FolderExists(defaultDir));
    std::wstring uninstall, quiet;
    EXPECT_TRUE(RegistryString(HKEY_LOCAL_MACHINE, kSampleUninstallKey, L"UninstallString", uninstall));
    EXPECT_EQ(uninstall, L"\"" + dir + L"\\Uninstall.exe\"");
    EXPECT_TRUE(RegistryString(HKEY_LOCAL_MACHINE, kSampleUninstallKey, L"QuietUninstallString", quiet));
    EXPECT_EQ(quiet, uninstall + L" /S");
    // The installed uninstaller refuses what it does not know, and removes nothing.
    EXPECT_EQ(RunSilently(uninstall + L" /S /Q", seen), 1u);
    EXPECT_TRUE(FileExists(dir + L"\\docs\\guide.txt"));

    UninstallQuietly(seen);
    EXPECT_FALSE(FolderExists(dir));
    EXPECT_TRUE(seen.empty()) << "windows during the silent runs:" << Windows(seen);
}

}  // namespace
