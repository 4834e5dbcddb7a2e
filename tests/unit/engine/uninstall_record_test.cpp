#include <gtest/gtest.h>

#include "common/text.h"
#include "setup/engine/install_script.h"
#include "setup/engine/uninstall_record.h"
#include "setup/script/folder_tokens.h"
#include "setup/script/value_escaping.h"

namespace {

// What the archive writer makes of a record line, and what the reader gives back.
std::wstring StoredName(const std::wstring &line) {
    std::wstring stored = ReplaceAll(line, L"\\", L"/");
    if (stored.empty() || stored.back() != L'/') stored += L'/';
    return stored;
}

SetupSettings Viewer() {
    SetupSettings s;
    s.Title = L"Viewer";
    s.Prefix = L"Lite";
    s.Name = L"ViewerMain";
    s.Version = L"2.1";
    s.Suffix = L"K4";
    s.InstallDir = L"C:\\Program Files\\Viewer";
    s.ProgramFilesDir = L"C:\\Program Files";
    s.WindowsDir = L"C:\\windows";
    s.SystemDir = L"C:\\windows\\system32";
    return s;
}

TEST(UninstallRecord, LinesInTheirOrderAndEscaped) {
    RecordLists lists;
    lists.files = {{L"{InstallDir}", L"docs/"}, {L"{InstallDir}", L"docs\\a.txt"}};
    lists.registry = {{L"HKEY_CURRENT_USER%5CSoftware%5CViewer", L"Path"}};
    lists.shortcuts = {{L"{DeskTop}", L"Viewer"}};
    std::vector<std::wstring> lines = UninstallRecordLines(Viewer(), lists);
    std::vector<std::wstring> expected = {
        L"General\\Title=Viewer",
        L"General\\Prefix=Lite",
        L"General\\Name=ViewerMain",
        L"General\\Version=2.1",
        L"General\\Suffix=K4",
        L"General\\InstallDir=C%3A%5CProgram Files%5CViewer",
        L"File\\{InstallDir}\\docs%2F",
        L"File\\{InstallDir}\\docs%5Ca.txt",
        L"File\\{InstallDir}\\Uninstall.exe",
        L"Registry\\HKEY_CURRENT_USER%5CSoftware%5CViewer\\Path",
        L"Shortcut\\{DeskTop}\\Viewer",
    };
    EXPECT_EQ(lines, expected);

    // Nothing installed: the General lines and the uninstaller itself.
    lines = UninstallRecordLines(SetupSettings(), RecordLists());
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], L"General\\Title=");
    EXPECT_EQ(lines[6], L"File\\{InstallDir}\\Uninstall.exe");
}

TEST(UninstallRecord, LinesTheReaderWouldCutAreLeftOut) {
    RecordLists lists;
    // "File\{InstallDir}\" is 18 characters, and the stored name gets a trailing "/".
    lists.files = {{L"{InstallDir}", std::wstring(240, L'a')},
                   {L"{InstallDir}", std::wstring(241, L'b')}};
    std::vector<std::wstring> lines = UninstallRecordLines(Viewer(), lists);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(StoredName(lines[6]).size(), kMaxRecordEntryName);
    EXPECT_EQ(lines[7], L"File\\{InstallDir}\\Uninstall.exe");
}

// The install side records a payload line; the uninstall side must find
// exactly the file or folder that was installed.
TEST(UninstallRecord, RecordedEntriesNameWhatWasInstalled) {
    const SetupSettings settings = Viewer();
    const SetupFolders folders = settings.Folders();
    struct Case {
        const wchar_t *remainder;
        bool folder;
    } cases[] = {
        {L"Target={InstallDir}/viewer.exe", false},
        {L"Target={InstallDir}/docs", true},
        {L"Target={InstallDir}/docs/en/read me.txt", false},
        {L"Target={WinDir}/Fonts/viewer.ttf", false},
        {L"Target={ProgramFiles}%5CShared/v: 1%2Fa.dll", false},
    };
    for (const Case &c : cases) {
        FileTarget target;
        ASSERT_TRUE(ParseFileTarget(c.remainder, c.folder, target)) << c.remainder;
        const std::wstring installed =
            UnescapeValue(ExpandFolderTokens(target.folder + L"\\" + target.relative, folders));

        RecordLists lists;
        lists.files.push_back({target.folder, target.relative});
        const std::wstring line = UninstallRecordLines(settings, lists)[6];
        RecordAction action = ParseRecordEntry(StoredName(line));
        ASSERT_EQ(action.kind, RecordAction::Kind::File) << line;
        const std::wstring removed =
            UnescapeValue(ExpandFolderTokens(action.first + L"\\" + action.second, folders));
        // A folder is installed as "...\docs\" and recognised by its "/" on removal.
        EXPECT_EQ(removed.back() == L'/', c.folder) << removed;
        EXPECT_EQ(StripTrailing(removed, L'/'), StripTrailing(installed, L'\\')) << c.remainder;
    }
}

TEST(UninstallRecord, RecordedValuesAndShortcutsComeBackAsWritten) {
    RecordLists lists;
    lists.registry = {{L"HKEY_LOCAL_MACHINE%5CSOFTWARE%5CParvoni%5CViewer", L"Install Path"}};
    lists.shortcuts = {{L"{StartMenu}%5CPrograms%5CViewer", L"Viewer 2"}};
    std::vector<std::wstring> lines = UninstallRecordLines(Viewer(), lists);
    RecordAction value = ParseRecordEntry(StoredName(lines[7]));
    EXPECT_EQ(value.kind, RecordAction::Kind::Registry);
    EXPECT_EQ(UnescapeValue(value.first), L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni\\Viewer");
    EXPECT_EQ(UnescapeValue(value.second), L"Install Path");
    RecordAction link = ParseRecordEntry(StoredName(lines[8]));
    EXPECT_EQ(link.kind, RecordAction::Kind::Shortcut);
    EXPECT_EQ(UnescapeValue(link.first), L"{StartMenu}\\Programs\\Viewer");
    EXPECT_EQ(UnescapeValue(link.second), L"Viewer 2");

    // The General InstallDir comes back whole after start-up's unescaping.
    EXPECT_EQ(UnescapeValue(StripTrailing(StoredName(lines[5]), L'/').substr(19)),
              L"C:\\Program Files\\Viewer");
}

TEST(UninstallRecord, EntriesThatRemoveNothing) {
    EXPECT_EQ(ParseRecordEntry(L"General/Title=Viewer/").kind, RecordAction::Kind::None);
    EXPECT_EQ(ParseRecordEntry(L"Execute/AfterPath=x/").kind, RecordAction::Kind::None);
    EXPECT_EQ(ParseRecordEntry(L"File/{InstallDir}/").kind, RecordAction::Kind::None);
    EXPECT_EQ(ParseRecordEntry(L"Registry/HKEY_CURRENT_USER%5CX").kind, RecordAction::Kind::None);
    EXPECT_EQ(ParseRecordEntry(L"/File/a/b").kind, RecordAction::Kind::None);
    EXPECT_EQ(ParseRecordEntry(L"Uninstall.exe").kind, RecordAction::Kind::None);
    RecordAction a = ParseRecordEntry(L"file/{InstallDir}/x%5Cy/");
    EXPECT_EQ(a.kind, RecordAction::Kind::File);
    EXPECT_EQ(a.second, L"x%5Cy");
}

TEST(UninstallKey, PathAndCommandLine) {
    EXPECT_EQ(UninstallKeyPath(L"Viewer"),
              L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Viewer");
    // Without a title the path would be the key shared by every program.
    EXPECT_EQ(UninstallKeyPath(L""), L"");

    EXPECT_EQ(UninstallCommandLine(L"C:\\Apps\\\\Viewer"), L"\"C:\\Apps\\Viewer\\Uninstall.exe\"");
    EXPECT_EQ(UninstallCommandLine(L"C:\\Apps\\Viewer\\"), L"\"C:\\Apps\\Viewer\\Uninstall.exe\"");
    EXPECT_EQ(UninstallCommandLine(L"C:\\\\\\Apps"), L"\"C:\\Apps\\Uninstall.exe\"");
}

TEST(UninstallKey, RootPrefixes) {
    std::wstring root, rest;
    ASSERT_TRUE(SplitRootPrefix(L"hkey_current_user\\Software\\Viewer", root, rest));
    EXPECT_EQ(root, L"HKEY_CURRENT_USER");
    EXPECT_EQ(rest, L"Software\\Viewer");
    for (const wchar_t *name : {L"HKEY_CLASSES_ROOT", L"HKEY_LOCAL_MACHINE", L"HKEY_USERS",
                                L"HKEY_CURRENT_CONFIG"}) {
        ASSERT_TRUE(SplitRootPrefix(std::wstring(name) + L"\\X", root, rest)) << name;
        EXPECT_EQ(root, name);
        EXPECT_EQ(rest, L"X");
    }
    EXPECT_FALSE(SplitRootPrefix(L"HKEY_LOCAL_MACHINE", root, rest));
    EXPECT_FALSE(SplitRootPrefix(L"HKLM\\Software", root, rest));
    EXPECT_FALSE(SplitRootPrefix(L"HKEY_LOCAL_MACHINEX\\Software", root, rest));
}

TEST(UninstallPaths, OnlyFullyQualifiedPathsAreTouched) {
    EXPECT_TRUE(IsFullyQualifiedPath(L"C:\\Apps\\a.txt"));
    EXPECT_TRUE(IsFullyQualifiedPath(L"d:/a"));
    EXPECT_TRUE(IsFullyQualifiedPath(L"\\\\server\\share\\a"));
    EXPECT_FALSE(IsFullyQualifiedPath(L"\\Uninstall.exe"));
    EXPECT_FALSE(IsFullyQualifiedPath(L"Uninstall.exe"));
    EXPECT_FALSE(IsFullyQualifiedPath(L"C:a.txt"));
    EXPECT_FALSE(IsFullyQualifiedPath(L"1:\\a"));
    EXPECT_FALSE(IsFullyQualifiedPath(L""));
}

}  // namespace
