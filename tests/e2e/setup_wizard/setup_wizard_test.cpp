// The setup wizard driven through its windows as a person would: packages made
// by the package builder are installed and uninstalled, and afterwards the
// files, registry values, shortcuts and the Uninstall key are looked at.
// The cases run in order and share the Wine prefix of the test run.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <cstdio>

#include <string>

#include "setup/res/resource.h"
#include "tests/driver/polling.h"
#include "tests/driver/window_driver.h"
#include "tests/e2e/setup_wizard/setup_e2e_support.h"

using namespace windriver;
using namespace setup_e2e;

namespace {

const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::wstring ProgramFiles() { return SpecialFolder(CSIDL_PROGRAM_FILES); }
std::wstring WindowsDir() { return SpecialFolder(CSIDL_WINDOWS); }
std::wstring Work() { return Given().work; }

// The full package: files and a folder tree, REG_SZ and REG_DWORD values under
// two roots, two shortcuts, AfterPath (the probe) and a restart question.
std::string FullDescription() {
    return "[General]\n"
           "Title = Wizard Full\n"
           "Prefix = Suite\n"
           "Name = WizardFullWindowClass\n"
           "Version = 1.5\n"
           "InstallDir = {ProgramFiles}\\Wizard Full\n"
           "[Execute]\n"
           "AfterPath = " + Utf8(Given().probe) + "\n"
           "AfterParam = \"" + Utf8(Work()) + "\\full-after.txt\" \"{InstallDir}\\readme.txt\"\n"
           "AfterReboot = TRUE\n"
           "[Files]\n" +
           Utf8(Given().payload) + "\\readme.txt = {InstallDir}\n" +
           Utf8(Given().payload) + "\\docs = {InstallDir}\\docs\n"
           "[Registry HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni\\Wizard Full]\n"
           "InstallPath = REG_SZ {InstallDir}\n"
           "Build = REG_DWORD 12abc\n"
           "[Registry HKEY_CURRENT_USER\\Software\\Parvoni\\Wizard Full]\n"
           "Greeting = REG_SZ Hello: a/b\\c\n"
           "[Shortcut]\n"
           "Folder = {DeskTop}\n"
           "Name = Wizard Full readme\n"
           "Description = Read me first\n"
           "Target = {InstallDir}\\readme.txt\n"
           "Arguments = -x \"{InstallDir}\"\n"
           "[Shortcut]\n"
           "Folder = {StartMenu}\\Wizard Full\n"
           "Name = Guide\n"
           "Target = {InstallDir}\\docs\\guide.txt\n";
}

// Only registry values and a shortcut: no destination page.
std::string KeysDescription(const std::string &afterFile) {
    return "[General]\n"
           "Title = Wizard Keys\n"
           "InstallDir = {ProgramFiles}\\Wizard Keys\n"
           "[Execute]\n"
           "AfterPath = " + Utf8(Given().probe) + "\n"
           "AfterParam = \"" + Utf8(Work()) + "\\" + afterFile + "\"\n"
           "AfterReboot = true\n"
           "[Package]\n"
           "Uninstaller = no\n"
           "[Registry HKEY_CURRENT_USER\\Software\\Parvoni\\Wizard Keys]\n"
           "Path = REG_SZ {InstallDir}\n"
           "[Shortcut]\n"
           "Folder = {DeskTop}\n"
           "Name = Wizard Keys\n"
           "Target = {WinDir}\\notepad.exe\n";
}

// Files under {InstallDir} with or without the uninstaller.
std::string FilesDescription(const std::string &title, bool uninstaller) {
    return "[General]\n"
           "Title = " + title + "\n"
           "Version = 3\n"
           "InstallDir = {ProgramFiles}\\" + title + "\n"
           "[Package]\n"
           "Uninstaller = " + (uninstaller ? "yes" : "no") + "\n"
           "[Files]\n" +
           Utf8(Given().payload) + "\\readme.txt = {InstallDir}\n" +
           Utf8(Given().payload) + "\\docs = {InstallDir}\\docs\n";
}

std::wstring Package(const std::wstring &name, const std::string &description) {
    std::wstring package;
    std::string detail;
    EXPECT_TRUE(BuildPackage(name, description, package, detail)) << detail;
    return package;
}

void ExpectSameBytes(const std::wstring &installed, const std::wstring &source) {
    std::vector<unsigned char> a, b;
    ASSERT_TRUE(ReadFileBytes(installed, a)) << Utf8(installed);
    ASSERT_TRUE(ReadFileBytes(source, b)) << Utf8(source);
    EXPECT_EQ(a, b) << Utf8(installed);
}

std::wstring AllUsersLink(int csidl, const std::wstring &relative) {
    return SpecialFolder(csidl) + L"\\" + relative + L".lnk";
}

// The plants beside after_probe.exe in the build: planted_probe.exe and uxtheme.dll.
std::wstring BuiltBesideProbe(const std::wstring &name) {
    const std::wstring &probe = Given().probe;
    return probe.substr(0, probe.find_last_of(L'\\') + 1) + name;
}

// A user's files in the Temp folder, removed again when the test ends.
class PlantedFiles {
public:
    explicit PlantedFiles(const std::wstring &temp)
        : program_(temp + L"\\Uninstall.exe"), dll_(temp + L"\\uxtheme.dll"), check_(temp + L"\\planted-check.dll") {
        Remove();
        CopyFileW(BuiltBesideProbe(L"planted_probe.exe").c_str(), program_.c_str(), FALSE);
        CopyFileW(BuiltBesideProbe(L"uxtheme.dll").c_str(), dll_.c_str(), FALSE);
        CopyFileW(BuiltBesideProbe(L"uxtheme.dll").c_str(), check_.c_str(), FALSE);
    }
    ~PlantedFiles() { Remove(); }

    // The stand-in DLL does leave its marker when something loads it.
    bool Work() const {
        HMODULE module = LoadLibraryW(check_.c_str());
        if (module) FreeLibrary(module);
        return module && FileExists(check_ + L".ran") && FileExists(program_) && FileExists(dll_);
    }
    bool ProgramRan() const { return FileExists(program_ + L".ran"); }
    bool DllLoaded() const { return FileExists(dll_ + L".ran"); }

private:
    void Remove() const {
        for (const std::wstring &path : {program_, dll_, check_}) {
            DeleteFileW(path.c_str());
            DeleteFileW((path + L".ran").c_str());
        }
    }
    std::wstring program_, dll_, check_;
};

// Wine prefers its own DLLs to one found beside a program; Windows takes the
// one beside it. While this lives, programs started get Windows' order for `dll`.
class DllOverride {
public:
    explicit DllOverride(const std::wstring &dll) {
        wchar_t value[1024] = L"";
        had_ = GetEnvironmentVariableW(L"WINEDLLOVERRIDES", value, 1024) > 0;
        old_ = value;
        SetEnvironmentVariableW(L"WINEDLLOVERRIDES", (old_ + (had_ ? L";" : L"") + dll + L"=n,b").c_str());
    }
    ~DllOverride() { SetEnvironmentVariableW(L"WINEDLLOVERRIDES", had_ ? old_.c_str() : nullptr); }

private:
    bool had_ = false;
    std::wstring old_;
};

// The uninstaller copy's folder below `temp` ("marboSetup-" and 16 hex digits).
std::wstring FindCopyFolder(const std::wstring &temp) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((temp + L"\\marboSetup-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return std::wstring();
    std::wstring folder;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && lstrlenW(found.cFileName) == 27)
            folder = temp + L"\\" + found.cFileName;
    } while (folder.empty() && FindNextFileW(search, &found));
    FindClose(search);
    return folder;
}

const wchar_t kAdministratorsOnly[] = L"protected; SYSTEM full; Administrators full";

// The folder's access list in words: whether it is protected from inheriting
// and who is allowed what, in order.
std::wstring FolderAccess(const std::wstring &folder) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return L"unreadable";
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    std::wstring words = (control & SE_DACL_PROTECTED) ? L"protected" : L"inherits";
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        void *ace = nullptr;
        if (!GetAce(dacl, i, &ace)) continue;
        const ACE_HEADER *header = static_cast<ACE_HEADER *>(ace);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) {
            words += L"; other";
            continue;
        }
        ACCESS_ALLOWED_ACE *allowed = static_cast<ACCESS_ALLOWED_ACE *>(ace);
        PSID sid = &allowed->SidStart;
        words += IsWellKnownSid(sid, WinLocalSystemSid)           ? L"; SYSTEM"
                 : IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ? L"; Administrators"
                                                                    : L"; someone else";
        words += (allowed->Mask & FILE_ALL_ACCESS) == FILE_ALL_ACCESS ? L" full" : L" partial";
    }
    LocalFree(descriptor);
    return words;
}

// Whether Wine keeps the access list a program gives a new folder below
// `where` (it needs extended attributes on the file system); otherwise it
// shows one made up from the Unix mode.
bool KeepsAccessLists(const std::wstring &where) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)",
                                                              SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    const std::wstring probe = where + L"\\access-list-probe";
    const bool made = CreateDirectoryW(probe.c_str(), &attributes) != FALSE;
    LocalFree(descriptor);
    const bool kept = made && FolderAccess(probe) == kAdministratorsOnly;
    RemoveDirectoryW(probe.c_str());
    return kept;
}

// ---------------------------------------------------------------------------

TEST(SetupWizard, CancelAsksAndNoStaysYesEndsWithNothingDone) {
    const std::wstring package = Package(L"full-cancel", FullDescription());
    Process setup;
    HWND wizard = OpenWizard(setup, package, L"Wizard Full - Suite 1.5");
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(Page(wizard, IDC_WELCOME_TEXT));

    ASSERT_TRUE(Click(wizard, IDCANCEL));
    HWND box = WaitMessageBox(L"Setup Wizard", kDefaultTimeoutMs, setup.Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box),
              L"The installation has been finished yet.\n\nif you quit now, the software will not "
              L"be installed.\n\nDo you want to quit the installation?");
    Screenshot(L"en_quit_question", 1500);
    ASSERT_TRUE(AnswerMessageBox(box, IDNO));
    Sleep(300);
    EXPECT_TRUE(setup.Running());
    EXPECT_TRUE(IsShown(FindControl(wizard, IDC_WELCOME_TEXT)));

    // The close box asks the same question; Yes ends the program.
    PostMessageW(wizard, WM_CLOSE, 0, 0);
    box = WaitMessageBox(L"Setup Wizard", kDefaultTimeoutMs, setup.Id());
    ASSERT_TRUE(box);
    ASSERT_TRUE(AnswerMessageBox(box, IDYES));
    EXPECT_TRUE(Ends(setup));
    EXPECT_FALSE(FolderExists(ProgramFiles() + L"\\Wizard Full"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Parvoni\\Wizard Full"));
}

TEST(SetupWizard, FullInstallWritesFilesValuesShortcutsAndTheUninstallKey) {
    const std::wstring package = Package(L"full", FullDescription());
    const std::wstring dir = ProgramFiles() + L"\\Wizard Full";
    Process setup;
    HWND wizard = OpenWizard(setup, package, L"Wizard Full - Suite 1.5");
    ASSERT_TRUE(wizard);

    // Welcome: Next leads on, Install waits for the destination page.
    ASSERT_TRUE(Page(wizard, IDC_WELCOME_TEXT));
    EXPECT_EQ(Text(FindControl(wizard, IDC_NEXT)), L"Next");
    EXPECT_EQ(Text(FindControl(wizard, IDCANCEL)), L"Cancel");
    EXPECT_FALSE(IsShown(FindControl(wizard, IDC_INSTALL)));
    EXPECT_FALSE(IsShown(FindControl(wizard, IDC_PREV)));
    EXPECT_NE(Text(FindControl(wizard, IDC_WELCOME_TEXT)).find(L"installation of the software"),
              std::wstring::npos);
    Screenshot(L"en_install_welcome");

    // Destination, then Prev back to the welcome page and Next again.
    ASSERT_TRUE(Click(wizard, IDC_NEXT));
    HWND edit = Page(wizard, IDC_DESTINATION);
    ASSERT_TRUE(edit);
    EXPECT_EQ(Text(edit), dir);
    EXPECT_EQ(Text(FindControl(wizard, IDC_SPACE_REQUIRED_LABEL)), L"Space required:");
    const std::wstring required = Text(FindControl(wizard, IDC_SPACE_REQUIRED));
    EXPECT_TRUE(required.size() > 1 && required.back() == L'B') << Utf8(required);
    const std::wstring available = Text(FindControl(wizard, IDC_SPACE_AVAILABLE));
    EXPECT_TRUE(available.size() > 1 && available.back() == L'B') << Utf8(available);
    EXPECT_FALSE(IsShown(FindControl(wizard, IDC_NEXT)));
    EXPECT_TRUE(IsShown(FindControl(wizard, IDC_INSTALL)));
    Screenshot(L"en_install_destination");
    ASSERT_TRUE(Click(wizard, IDC_PREV));
    ASSERT_TRUE(Page(wizard, IDC_WELCOME_TEXT));
    EXPECT_TRUE(PollUntil([&] { return !IsShown(FindControl(wizard, IDC_DESTINATION)); }, 2000));
    ASSERT_TRUE(Click(wizard, IDC_NEXT));
    ASSERT_TRUE(Page(wizard, IDC_DESTINATION));

    ASSERT_TRUE(InstallToCompletion(wizard, IDC_INSTALL, L"en_install_progress"));
    EXPECT_FALSE(IsEnabledControl(FindControl(wizard, IDCANCEL)));
    EXPECT_EQ(Text(FindControl(wizard, IDC_COMPLETE)), L"Complete");
    Screenshot(L"en_install_completion");

    // Complete starts AfterPath, then asks about the restart; No closes.
    ASSERT_TRUE(Click(wizard, IDC_COMPLETE));
    HWND box = WaitMessageBox(L"Setup Wizard", kDefaultTimeoutMs, setup.Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box),
              L"To complete installation, system must be restarted.\n\nRestart system now?");
    Screenshot(L"en_restart_question", 1500);
    ASSERT_TRUE(AnswerMessageBox(box, IDNO));
    EXPECT_TRUE(Ends(setup));

    const std::wstring after = Work() + L"\\full-after.txt";
    EXPECT_TRUE(PollUntil([&] { return FileExists(after); }, 10000)) << "AfterPath did not run";
    Sleep(200);
    const std::string line = FileText(after);
    const std::wstring expectedArgs = L"\"" + Work() + L"\\full-after.txt\" \"" + dir + L"\\readme.txt\"";
    std::wstring seen(reinterpret_cast<const wchar_t *>(line.data()), line.size() / 2);
    EXPECT_EQ(seen, L"\"" + Given().probe + L"\" " + expectedArgs);

    // Files, with their bytes, and the folder tree.
    ExpectSameBytes(dir + L"\\readme.txt", Given().payload + L"\\readme.txt");
    ExpectSameBytes(dir + L"\\docs\\guide.txt", Given().payload + L"\\docs\\guide.txt");
    ExpectSameBytes(dir + L"\\docs\\deep\\note.txt", Given().payload + L"\\docs\\deep\\note.txt");
    EXPECT_TRUE(FileExists(dir + L"\\Uninstall.exe"));

    std::wstring text;
    DWORD number = 0;
    EXPECT_TRUE(RegistryString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Parvoni\\Wizard Full", L"InstallPath", text));
    EXPECT_EQ(text, dir);
    EXPECT_TRUE(RegistryDword(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Parvoni\\Wizard Full", L"Build", number));
    EXPECT_EQ(number, 12u);
    EXPECT_TRUE(RegistryString(HKEY_CURRENT_USER, L"Software\\Parvoni\\Wizard Full", L"Greeting", text));
    EXPECT_EQ(text, L"Hello: a/b\\c");

    ShellLinkFields link;
    ASSERT_TRUE(ReadShellLink(AllUsersLink(CSIDL_COMMON_DESKTOPDIRECTORY, L"Wizard Full readme"), link));
    EXPECT_EQ(link.target, dir + L"\\readme.txt");
    EXPECT_EQ(link.arguments, L"-x \"" + dir + L"\"");
    EXPECT_EQ(link.workingFolder, dir);
    EXPECT_EQ(link.description, L"Read me first");
    ASSERT_TRUE(ReadShellLink(AllUsersLink(CSIDL_COMMON_STARTMENU, L"Wizard Full\\Guide"), link));
    EXPECT_EQ(link.target, dir + L"\\docs\\guide.txt");
    EXPECT_EQ(link.workingFolder, dir + L"\\docs");

    const std::wstring key = std::wstring(kUninstallKey) + L"Wizard Full";
    EXPECT_TRUE(RegistryString(HKEY_LOCAL_MACHINE, key, L"DisplayName", text));
    EXPECT_EQ(text, L"Wizard Full - Suite 1.5");
    EXPECT_TRUE(RegistryString(HKEY_LOCAL_MACHINE, key, L"DisplayVersion", text));
    EXPECT_EQ(text, L"1.5");
    EXPECT_TRUE(RegistryString(HKEY_LOCAL_MACHINE, key, L"UninstallString", text));
    EXPECT_EQ(text, L"\"" + dir + L"\\Uninstall.exe\"");
}

TEST(SetupWizard, UninstallerMovesToAFolderOfItsOwnAndRemovesWhatItRecorded) {
    const std::wstring dir = ProgramFiles() + L"\\Wizard Full";
    std::wstring command;
    ASSERT_TRUE(RegistryString(HKEY_LOCAL_MACHINE, std::wstring(kUninstallKey) + L"Wizard Full",
                               L"UninstallString", command));
    // Something the user made after installing: it and its folder stay.
    ASSERT_TRUE(CreateDirectoryW((dir + L"\\mine").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(dir + L"\\mine\\notes.txt", {'n', 'o', 't', 'e'}));
    // The user's own shortcut beside the product's in its Start-menu folder.
    const std::wstring userLink = AllUsersLink(CSIDL_COMMON_STARTMENU, L"Wizard Full\\My guide");
    ASSERT_TRUE(CopyFileW(AllUsersLink(CSIDL_COMMON_STARTMENU, L"Wizard Full\\Guide").c_str(),
                          userLink.c_str(), FALSE));
    // What a user plants in the Temp folder beforehand: an Uninstall.exe of
    // their own and a DLL that the system loads by name once windows appear.
    const std::wstring temp = WindowsDir() + L"\\Temp";
    const PlantedFiles planted(temp);
    ASSERT_TRUE(planted.Work()) << "the planted DLL leaves no marker when loaded";

    Process first;
    {
        DllOverride nativeFirst(L"uxtheme");
        ASSERT_TRUE(StartProgram(first, command));
        EXPECT_TRUE(Ends(first)) << "the uninstaller in the installation folder did not end";
    }
    HWND wizard = WaitWizard(L"Wizard Full - Suite 1.5");
    ASSERT_TRUE(wizard);
    Process copy;
    ASSERT_TRUE(copy.Attach(WindowProcess(wizard)));
    // The copy runs from a new folder of its own, which only SYSTEM and
    // Administrators may use; nothing the user planted was run or loaded.
    // Earlier runs may have left copies for Windows to delete at its next
    // start: the running copy's own image names its folder where it can.
    const std::wstring image = ProcessImage(copy.Id());
    const std::wstring folder = image.empty() ? FindCopyFolder(temp) : image.substr(0, image.rfind(L'\\'));
    ASSERT_FALSE(folder.empty()) << "no marboSetup-<random> folder in " << Utf8(temp);
    const std::wstring folderName = folder.substr(folder.rfind(L'\\') + 1);
    EXPECT_EQ(CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, folder.substr(0, folder.rfind(L'\\')).c_str(), -1,
                             temp.c_str(), -1),
              CSTR_EQUAL)
        << Utf8(folder);
    EXPECT_EQ(folderName.compare(0, 11, L"marboSetup-"), 0) << Utf8(folder);
    EXPECT_EQ(folderName.size(), 27u) << Utf8(folder);
    EXPECT_TRUE(FileExists(folder + L"\\Uninstall.exe"));
    if (KeepsAccessLists(temp))
        EXPECT_EQ(FolderAccess(folder), kAdministratorsOnly);
    else
        std::printf("note: Wine keeps no access list a program sets on this file system; the copy's folder "
                    "shows \"%s\" and its list is checked on Windows only\n",
                    Utf8(FolderAccess(folder)).c_str());
    EXPECT_FALSE(planted.ProgramRan());
    EXPECT_FALSE(planted.DllLoaded());

    ASSERT_TRUE(Page(wizard, IDC_WELCOME_TEXT));
    EXPECT_TRUE(IsShown(FindControl(wizard, IDC_UNINSTALL)));
    EXPECT_EQ(Text(FindControl(wizard, IDC_UNINSTALL)), L"Uninstall");
    EXPECT_FALSE(IsShown(FindControl(wizard, IDC_NEXT)));
    Screenshot(L"en_uninstall_welcome");
    ASSERT_TRUE(InstallToCompletion(wizard, IDC_UNINSTALL, L"en_uninstall_progress"));
    Screenshot(L"en_uninstall_completion");
    ASSERT_TRUE(Click(wizard, IDC_COMPLETE));
    EXPECT_TRUE(Ends(copy));
    EXPECT_FALSE(planted.ProgramRan());
    EXPECT_FALSE(planted.DllLoaded());

    EXPECT_FALSE(FileExists(dir + L"\\readme.txt"));
    EXPECT_FALSE(FolderExists(dir + L"\\docs"));
    EXPECT_FALSE(FileExists(dir + L"\\Uninstall.exe"));
    EXPECT_TRUE(FileExists(dir + L"\\mine\\notes.txt"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Parvoni\\Wizard Full"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, L"Software\\Parvoni\\Wizard Full"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Parvoni"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, L"Software\\Parvoni"));
    EXPECT_FALSE(FileExists(AllUsersLink(CSIDL_COMMON_DESKTOPDIRECTORY, L"Wizard Full readme")));
    EXPECT_FALSE(FileExists(AllUsersLink(CSIDL_COMMON_STARTMENU, L"Wizard Full\\Guide")));
    ShellLinkFields link;
    EXPECT_TRUE(ReadShellLink(userLink, link)) << "the user's own shortcut and its folder stay";
    EXPECT_EQ(link.target, dir + L"\\docs\\guide.txt");
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::wstring(kUninstallKey) + L"Wizard Full"));
}

TEST(SetupWizard, RegistryOnlyPackageSkipsTheDestinationPage) {
    const std::wstring package = Package(L"keys", KeysDescription("keys-after.txt"));
    Process setup;
    HWND wizard = OpenWizard(setup, package, L"Wizard Keys");
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(Page(wizard, IDC_WELCOME_TEXT));
    EXPECT_TRUE(IsShown(FindControl(wizard, IDC_INSTALL)));
    EXPECT_FALSE(IsShown(FindControl(wizard, IDC_NEXT)));
    ASSERT_TRUE(InstallToCompletion(wizard, IDC_INSTALL));
    EXPECT_FALSE(IsShown(FindControl(wizard, IDC_DESTINATION)));

    // The close box on the completion page closes without Complete's actions.
    PostMessageW(wizard, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Ends(setup));
    Sleep(1500);
    EXPECT_FALSE(FileExists(Work() + L"\\keys-after.txt")) << "AfterPath ran without Complete";
    EXPECT_FALSE(FindMessageBox(L"Setup Wizard"));

    std::wstring text;
    EXPECT_TRUE(RegistryString(HKEY_CURRENT_USER, L"Software\\Parvoni\\Wizard Keys", L"Path", text));
    EXPECT_EQ(text, ProgramFiles() + L"\\Wizard Keys");  // InstallDir as the script has it
    EXPECT_TRUE(FileExists(AllUsersLink(CSIDL_COMMON_DESKTOPDIRECTORY, L"Wizard Keys")));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::wstring(kUninstallKey) + L"Wizard Keys"));
}

// The Korean cases run in their own test entry, whose whole process runs in
// the Korean locale (Wine takes the locale from the Unix environment a
// program starts with, not from the Windows environment of its parent).
TEST(SetupWizardKorean, KoreanSystemShowsKoreanTexts) {
    ASSERT_EQ(GetSystemDefaultLangID(), 0x0412) << "run these cases with LC_ALL=ko_KR.UTF-8";
    const std::wstring keys = Package(L"keys-ko", KeysDescription("keys-ko-after.txt"));
    Process setup;
    HWND wizard = OpenWizard(setup, keys, L"Wizard Keys");
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(Page(wizard, IDC_WELCOME_TEXT));
    EXPECT_EQ(Text(FindControl(wizard, IDC_INSTALL)), L"설치");
    EXPECT_EQ(Text(FindControl(wizard, IDCANCEL)), L"취소");
    EXPECT_EQ(Text(FindControl(wizard, IDC_WELCOME_TEXT)),
              L" Wizard Keys \r\n\r\n 지금 프로그램을 설치하려고 합니다.\r\n\r\n 작업을 계속 진행하려면 "
              L"'다음'을, 중단하려면 '취소' 버튼을 클릭하십시오.\r\n");
    Screenshot(L"ko_install_welcome");
    ASSERT_TRUE(Click(wizard, IDCANCEL));
    HWND box = WaitMessageBox(L"Setup Wizard", kDefaultTimeoutMs, setup.Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box),
              L"설치가 완전하게 끝나지 않았습니다.\n\n지금 종료하면 프로그램이 설치되지 않을 것입니다."
              L"\n\n설치를 중단하시겠습니까?");
    Screenshot(L"ko_quit_question", 1500);
    ASSERT_TRUE(AnswerMessageBox(box, IDNO));
    ASSERT_TRUE(InstallToCompletion(wizard, IDC_INSTALL, L"ko_install_progress"));
    EXPECT_EQ(Text(FindControl(wizard, IDC_COMPLETE)), L"완료");
    Screenshot(L"ko_install_completion");
    ASSERT_TRUE(Click(wizard, IDC_COMPLETE));
    box = WaitMessageBox(L"Setup Wizard", kDefaultTimeoutMs, setup.Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box),
              L"설치를 완료하기 위해서는 시스템을 재시작해야 합니다.\n\n지금 시스템을 재시작하시겠습니까?");
    Screenshot(L"ko_restart_question", 1500);
    ASSERT_TRUE(AnswerMessageBox(box, IDNO));
    EXPECT_TRUE(Ends(setup));
    EXPECT_TRUE(PollUntil([&] { return FileExists(Work() + L"\\keys-ko-after.txt"); }, 10000));
}

TEST(SetupWizardKorean, KoreanDestinationAndUninstallPages) {
    const std::wstring package = Package(L"korean", FilesDescription("Wizard Hangul", true));
    const std::wstring dir = ProgramFiles() + L"\\Wizard Hangul";
    Process setup;
    HWND wizard = OpenWizard(setup, package, L"Wizard Hangul 3");
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(Click(wizard, IDC_NEXT));
    ASSERT_TRUE(Page(wizard, IDC_DESTINATION));
    EXPECT_EQ(Text(FindControl(wizard, IDC_PREV)), L"이전");
    EXPECT_EQ(Text(FindControl(wizard, IDC_BROWSE)), L"찾아보기");
    EXPECT_EQ(Text(FindControl(wizard, IDC_SPACE_AVAILABLE_LABEL)), L"남은 디스크 공간:");
    Screenshot(L"ko_install_destination");
    ASSERT_TRUE(InstallAndComplete(wizard, setup));
    ASSERT_TRUE(FileExists(dir + L"\\Uninstall.exe"));

    Process first;
    ASSERT_TRUE(StartProgram(first, QuoteArgument(dir + L"\\Uninstall.exe")));
    EXPECT_TRUE(Ends(first));
    wizard = WaitWizard(L"Wizard Hangul 3");
    ASSERT_TRUE(wizard);
    Process copy;
    ASSERT_TRUE(copy.Attach(WindowProcess(wizard)));
    ASSERT_TRUE(Page(wizard, IDC_WELCOME_TEXT));
    EXPECT_EQ(Text(FindControl(wizard, IDC_UNINSTALL)), L"제거");
    Screenshot(L"ko_uninstall_welcome");
    ASSERT_TRUE(InstallToCompletion(wizard, IDC_UNINSTALL, L"ko_uninstall_progress"));
    Screenshot(L"ko_uninstall_completion");
    ASSERT_TRUE(Click(wizard, IDC_COMPLETE));
    EXPECT_TRUE(Ends(copy));
    EXPECT_FALSE(FolderExists(dir));
}

// Opens the folder browser from the destination page and answers it.
bool Browse(HWND wizard, DWORD processId, int answer, const std::wstring &shot = L"") {
    if (!Click(wizard, IDC_BROWSE)) return false;
    WindowQuery query;
    query.className = L"#32770";
    query.title = L"Browse for Folder";
    query.processId = processId;
    HWND browser = WaitTopWindow(query);
    if (!browser) return false;
    EXPECT_NE(DescribeControls(browser).find(L"Select a Folder"), std::wstring::npos);
    if (!shot.empty()) Screenshot(shot);
    Sleep(300);  // the browser selects the edit's folder once it is ready
    return Click(browser, answer) && WaitWindowGone(browser);
}

// Also the folder browser: a picked folder gets the product's folder name
// appended; cancelling changes nothing. (A pick that already holds the name is
// left to the unit tests: Wine's browser does not select a pre-set folder two
// levels down, and then offers the desktop.)
TEST(SetupWizard, PayloadWithoutUninstallerLeavesNoRecordAndNoKey) {
    const std::wstring package = Package(L"plain", FilesDescription("Wizard Plain", false));
    const std::wstring picked = L"C:\\Picked";
    const std::wstring dir = picked + L"\\Wizard Plain";
    ASSERT_TRUE(CreateDirectoryW(picked.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    Process setup;
    HWND wizard = OpenWizard(setup, package, L"Wizard Plain 3");
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(Click(wizard, IDC_NEXT));
    HWND edit = Page(wizard, IDC_DESTINATION);
    ASSERT_TRUE(edit);

    ASSERT_TRUE(SetText(edit, picked));
    ASSERT_TRUE(Browse(wizard, setup.Id(), IDOK, L"en_folder_browser"));
    EXPECT_TRUE(WaitText(wizard, IDC_DESTINATION, dir));
    ASSERT_TRUE(SetText(edit, picked));
    ASSERT_TRUE(Browse(wizard, setup.Id(), IDCANCEL));
    Sleep(300);
    EXPECT_EQ(Text(edit), picked);
    const std::wstring available = Text(FindControl(wizard, IDC_SPACE_AVAILABLE));
    EXPECT_TRUE(available.size() > 1 && available.back() == L'B') << Utf8(available);
    ASSERT_TRUE(SetText(edit, dir));  // typed: the edit is what gets installed
    ASSERT_TRUE(InstallAndComplete(wizard, setup));
    EXPECT_TRUE(FileExists(dir + L"\\readme.txt"));
    EXPECT_TRUE(FileExists(dir + L"\\docs\\deep\\note.txt"));
    EXPECT_FALSE(FileExists(dir + L"\\Uninstall.exe"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::wstring(kUninstallKey) + L"Wizard Plain"));
}

TEST(SetupWizard, FolderWithoutDriveShowsSpaceAvailableAsUnknown) {
    // The builder wants a drive or a token in InstallDir; the package is changed
    // afterwards to a folder without one ("Odd\where\Wizard Odd").
    const std::wstring package = Package(L"odd", FilesDescription("Wizard Odd", true));
    ASSERT_TRUE(ReplaceBytes(package, "General/InstallDir={ProgramFiles}",
                             "General/InstallDir=Odd%5Cwhere%5C"));
    Process setup;
    HWND wizard = OpenWizard(setup, package, L"Wizard Odd 3");
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(Click(wizard, IDC_NEXT));
    HWND edit = Page(wizard, IDC_DESTINATION);
    ASSERT_TRUE(edit);
    EXPECT_EQ(Text(edit), L"Odd\\where\\Wizard Odd");
    EXPECT_EQ(Text(FindControl(wizard, IDC_SPACE_AVAILABLE)), L"Unknown");
    const std::wstring required = Text(FindControl(wizard, IDC_SPACE_REQUIRED));
    EXPECT_TRUE(required.size() > 1 && required.back() == L'B') << Utf8(required);
    PostMessageW(wizard, WM_CLOSE, 0, 0);
    HWND box = WaitMessageBox(L"Setup Wizard", kDefaultTimeoutMs, setup.Id());
    ASSERT_TRUE(box);
    ASSERT_TRUE(AnswerMessageBox(box, IDYES));
    EXPECT_TRUE(Ends(setup));
}

TEST(SetupWizard, ReadOnlyUninstallerGetsTheKeyButNoRecord) {
    const std::wstring package = Package(L"locked", FilesDescription("Wizard Locked", true));
    ASSERT_TRUE(SetEntryAttributes(package, "Uninstall.exe", FILE_ATTRIBUTE_READONLY));
    const std::wstring dir = ProgramFiles() + L"\\Wizard Locked";
    Process setup;
    HWND wizard = OpenWizard(setup, package, L"Wizard Locked 3");
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(Click(wizard, IDC_NEXT));
    ASSERT_TRUE(InstallAndComplete(wizard, setup));

    const std::wstring uninstaller = dir + L"\\Uninstall.exe";
    ASSERT_TRUE(FileExists(uninstaller));
    EXPECT_TRUE(GetFileAttributesW(uninstaller.c_str()) & FILE_ATTRIBUTE_READONLY);
    std::vector<unsigned char> installed, program;
    ASSERT_TRUE(ReadFileBytes(uninstaller, installed));
    ASSERT_TRUE(ReadFileBytes(Given().setup, program));
    EXPECT_EQ(installed.size(), program.size()) << "a record was appended to a read-only file";
    std::wstring text;
    EXPECT_TRUE(RegistryString(HKEY_LOCAL_MACHINE, std::wstring(kUninstallKey) + L"Wizard Locked",
                               L"UninstallString", text));
}

TEST(SetupWizard, DamagedEntryIsSkippedAndTheRestInstalls) {
    const std::wstring package = Package(L"damaged", FilesDescription("Wizard Damaged", true));
    ASSERT_TRUE(DamageEntryData(package, "File/Target={InstallDir}/readme.txt"));
    const std::wstring dir = ProgramFiles() + L"\\Wizard Damaged";
    Process setup;
    HWND wizard = OpenWizard(setup, package, L"Wizard Damaged 3");
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(Click(wizard, IDC_NEXT));
    ASSERT_TRUE(InstallAndComplete(wizard, setup));
    ExpectSameBytes(dir + L"\\docs\\guide.txt", Given().payload + L"\\docs\\guide.txt");
    EXPECT_TRUE(FileExists(dir + L"\\Uninstall.exe"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::wstring(kUninstallKey) + L"Wizard Damaged"));
}

TEST(SetupWizard, UnreadableArchiveStillReachesCompletion) {
    const std::wstring package = Package(L"broken", FilesDescription("Wizard Broken", true));
    ASSERT_TRUE(BreakEndRecord(package));
    Process setup;
    // No script could be read: an empty caption, and no files to place.
    HWND wizard = OpenWizard(setup, package, L"");
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(Page(wizard, IDC_WELCOME_TEXT));
    EXPECT_TRUE(IsShown(FindControl(wizard, IDC_INSTALL)));
    ASSERT_TRUE(InstallAndComplete(wizard, setup));
    EXPECT_FALSE(FolderExists(ProgramFiles() + L"\\Wizard Broken"));
}

// A pupil who may write where the package lies tries to swap it while an
// administrator's wizard waits on its Welcome page: the file is held.
TEST(SetupWizard, ThePackageCannotBeSwappedWhileTheWizardWaits) {
    const std::wstring package = Package(L"held", FilesDescription("Wizard Held", false));
    const std::wstring other = Package(L"swapped", FilesDescription("Wizard Swapped", false));
    Process setup;
    HWND wizard = OpenWizard(setup, package, L"Wizard Held 3");
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(Page(wizard, IDC_WELCOME_TEXT));

    const std::wstring aside = package + L".aside";
    EXPECT_FALSE(MoveFileW(package.c_str(), aside.c_str())) << "renamed under the wizard";
    EXPECT_FALSE(DeleteFileW(package.c_str())) << "deleted under the wizard";
    EXPECT_FALSE(CopyFileW(other.c_str(), package.c_str(), FALSE)) << "rewritten under the wizard";
    HANDLE write = CreateFileW(package.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(write, INVALID_HANDLE_VALUE);
    if (write != INVALID_HANDLE_VALUE) CloseHandle(write);
    // Reading it stays possible.
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(ReadFileBytes(package, bytes));

    ASSERT_TRUE(Click(wizard, IDC_NEXT));
    ASSERT_TRUE(Page(wizard, IDC_DESTINATION));
    ASSERT_TRUE(InstallAndComplete(wizard, setup));
    ExpectSameBytes(ProgramFiles() + L"\\Wizard Held\\readme.txt", Given().payload + L"\\readme.txt");
    EXPECT_FALSE(FolderExists(ProgramFiles() + L"\\Wizard Swapped"));
    // Once the wizard has ended the file is the user's again.
    EXPECT_TRUE(MoveFileW(package.c_str(), aside.c_str()));
    DeleteFileW(aside.c_str());
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 6) {
        fwprintf(
            stderr,
            L"usage: setup_wizard_test marboSetup.exe marbo-pack.exe after_probe.exe PAYLOAD_DIR "
            L"SAMPLE_DESCRIPTION\n");
        return 2;
    }
    Programs &p = Given();
    // ctest hands over Unix paths; Wine shows the Unix root as drive Z:.
    auto full = [](const wchar_t *path) {
        if (path[0] == L'/') {
            std::wstring windows = L"Z:" + std::wstring(path);
            for (wchar_t &c : windows)
                if (c == L'/') c = L'\\';
            return windows;
        }
        wchar_t buffer[MAX_PATH];
        DWORD n = GetFullPathNameW(path, MAX_PATH, buffer, nullptr);
        return n && n < MAX_PATH ? std::wstring(buffer) : std::wstring(path);
    };
    p.setup = full(argv[1]);
    p.packer = full(argv[2]);
    p.probe = full(argv[3]);
    p.payload = full(argv[4]);
    p.sample = full(argv[5]);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    p.work = std::wstring(temp) + (GetSystemDefaultLangID() == 0x0412 ? L"setup-wizard-ko" : L"setup-wizard-en");
    CreateDirectoryW(p.work.c_str(), nullptr);
    return RUN_ALL_TESTS();
}
