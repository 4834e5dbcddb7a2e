#include <windows.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/folders.h"
#include "common/kernel_handle_win.h"
#include "common/registry_key.h"
#include "common/shortcuts.h"
#include "common/text.h"
#include "common/zip/zip_error.h"
#include "setup/archive/payload_archive.h"
#include "setup/engine/engine_control_win.h"
#include "setup/engine/uninstall_record.h"
#include "setup/script/setup_markers.h"
#include "setup/script/setup_startup.h"
#include "tests/harness/thread_count_win.h"
#include "tests/wine/engine/engine_fixture.h"
#include "tests/wine/engine/test_page.h"

namespace {

// The names of an archive's entries (an uninstaller's record), in order.
std::vector<std::wstring> EntryNames(const std::wstring &file) {
    std::vector<std::wstring> names;
    CKernelHandle handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    try {
        std::unique_ptr<PayloadReader> archive = OpenPayloadArchive(handle.Get());
        for (int i = 0; i < archive->Count(); ++i) names.push_back(archive->Entry(i).name);
    } catch (const CZipException &e) {
        ADD_FAILURE() << "no readable record: " << e.what();
    }
    return names;
}


std::wstring ParentOf(const std::wstring &path) { return path.substr(0, path.rfind(L'\\')); }

uint64_t FileSize(const std::wstring &path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// The page reads the latest item text on each notification, and the worker may
// have moved on by then (item notices are not posted again while one is
// unread): at most one read per item, each an item not older than the one
// before, the last read the last item.
void ExpectItemsInOrder(const std::vector<std::wstring> &read,
                        const std::vector<std::wstring> &expected) {
    ASSERT_FALSE(read.empty());
    ASSERT_LE(read.size(), expected.size());
    size_t at = 0;
    for (const std::wstring &item : read) {
        while (at < expected.size() && expected[at] != item) ++at;
        EXPECT_LT(at, expected.size()) << "out of order or unknown: " << testing::PrintToString(item);
    }
    EXPECT_EQ(read.back(), expected.back());
}

class InstallEngine : public EngineTest {
protected:
    // The full package: files and folders, values of each kind, shortcuts.
    TestPackage FullPackage() const {
        const std::string tag = Tag();
        const std::string viewerKey = "HKEY_CURRENT_USER%5CSoftware%5C" + tag + "%5CVendor%5CViewer";
        const std::string settingsKey = "HKEY_CURRENT_USER%5CSoftware%5C" + tag + "%5CSettings";
        TestPackage p;
        p.Line("General/Title=" + tag + " Viewer")
            .Line("General/Version=2.1")
            .Line("General/Name=" + tag + "NoSuchWindow")
            .Line("General/InstallDir={ProgramFiles}%5C" + tag)
            .Line("Execute/AfterPath={InstallDir}%5Cviewer.exe")
            .File("Uninstall.exe", kProgram)
            .File("File/Target={InstallDir}/viewer.exe", kViewerBytes)
            .Folder("File/Target={InstallDir}/docs")
            .Folder("File/Target={InstallDir}/docs/en")
            .File("File/Target={InstallDir}/docs/readme.txt", "read me\r\n")
            .File("File/Target={InstallDir}/docs/en/guide.txt", "guide\r\n", false, true)
            .Line("Registry/" + viewerKey + "/Path/{InstallDir}%5Cviewer.exe/REG_SZ")
            .Line("Registry/" + viewerKey + "/Count/12abc/REG_DWORD")
            .Line("Registry/" + viewerKey + "/Zero/abc/REG_DWORD")
            .Line("Registry/" + viewerKey + "//unnamed/REG_SZ")
            .Line("Registry/" + viewerKey + "/Blob/00FF/REG_BINARY")
            .Line("Registry/" + settingsKey + "/Lang/ko/REG_SZ")
            .Line("Shortcut/{DeskTop}/" + tag + " Viewer/The viewer/{InstallDir}%5Cviewer.exe/-open")
            .Line("Shortcut/{StartMenu}%5CPrograms%5C" + tag + "/" + tag +
                  " Guide/Guide/{InstallDir}%5Cdocs%5Creadme.txt")
            .Line("Shortcut/{InstallDir}/" + tag + " Nowhere/x/{InstallDir}%5Cviewer.exe");
        return p;
    }

    std::wstring DesktopLink() const {
        return CommonFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\" + Title() + L".lnk";
    }
    std::wstring GuideLink() const {
        return CommonFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + tag_ + L"\\" + tag_ + L" Guide.lnk";
    }
};

TEST_F(InstallEngine, InstallsFilesValuesShortcutsRecordAndKey) {
    WritePackage(FullPackage());
    const SetupSettings settings = InstallSettings();
    CProgressInstall engine(EngineSource{Package(), &settings});
    TestPage page(engine);
    ASSERT_TRUE(page.Ready());
    ASSERT_TRUE(page.RunToCompletion());
    EXPECT_EQ(page.Completions(), 1);
    EXPECT_EQ(page.EditText(1015), L"");
    EXPECT_EQ(page.EditText(1016), L"");

    const std::wstring dir = InstallDir();
    const std::vector<std::wstring> items = {dir + L"\\viewer.exe", dir + L"\\docs\\",
                                             dir + L"\\docs\\en\\", dir + L"\\docs\\readme.txt",
                                             dir + L"\\docs\\en\\guide.txt"};
    ExpectItemsInOrder(page.Items(), items);
    EXPECT_EQ(engine.ItemText(), items.back());
    EXPECT_GT(page.Position(), 90);
    EXPECT_LE(page.Position(), 100);
    EXPECT_EQ(page.BarSendsFromOtherThreads(), 0);

    // Files, their bytes and the archive's modification time.
    EXPECT_EQ(ReadWholeFile(dir + L"\\viewer.exe"), kViewerBytes);
    EXPECT_EQ(ReadWholeFile(dir + L"\\docs\\readme.txt"), "read me\r\n");
    EXPECT_EQ(ReadWholeFile(dir + L"\\docs\\en\\guide.txt"), "guide\r\n");
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW((dir + L"\\viewer.exe").c_str(), GetFileExInfoStandard, &data));
    SYSTEMTIME written;
    FileTimeToSystemTime(&data.ftLastWriteTime, &written);
    EXPECT_EQ(written.wYear, 2010);
    EXPECT_EQ(written.wMonth, 1);

    // Values: text with the folder expanded, numbers by their leading digits.
    std::wstring text;
    DWORD number = 99;
    EXPECT_TRUE(ReadString(ViewerKey(), L"Path", text));
    EXPECT_EQ(text, dir + L"\\viewer.exe");
    EXPECT_TRUE(ReadNumber(ViewerKey(), L"Count", number));
    EXPECT_EQ(number, 12u);
    EXPECT_TRUE(ReadNumber(ViewerKey(), L"Zero", number));
    EXPECT_EQ(number, 0u);
    EXPECT_FALSE(ReadString(ViewerKey(), L"", text)) << "an empty value name sets nothing";
    CRegistryKey viewer;
    ASSERT_TRUE(viewer.Open(ViewerKey()));
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(viewer.QueryValue(L"Blob", bytes, REG_BINARY)) << "only REG_SZ and REG_DWORD are written";
    viewer.Close();
    EXPECT_TRUE(ReadString(SettingsKey(), L"Lang", text));
    EXPECT_EQ(text, L"ko");

    // Shortcuts in the all-users folders, none outside the special folders.
    ShellLinkFields link;
    ASSERT_TRUE(ReadShellLink(DesktopLink(), link)) << DesktopLink();
    EXPECT_EQ(link.target, dir + L"\\viewer.exe");
    EXPECT_EQ(link.arguments, L"-open");
    EXPECT_EQ(link.workingFolder, dir);
    EXPECT_EQ(link.description, L"The viewer");
    ASSERT_TRUE(ReadShellLink(GuideLink(), link)) << GuideLink();
    EXPECT_EQ(link.target, dir + L"\\docs\\readme.txt");
    EXPECT_EQ(link.workingFolder, dir + L"\\docs");
    EXPECT_FALSE(FileExists(dir + L"\\" + tag_ + L" Nowhere.lnk"));

    // The uninstaller: the program image unchanged, then the record.
    const std::wstring uninstaller = dir + L"\\Uninstall.exe";
    EXPECT_EQ(ReadWholeFile(uninstaller).substr(0, kProgram.size()), kProgram);
    EXPECT_TRUE(LocatePayloadIn(uninstaller, kUninstallerIdentifier).found);
    EXPECT_FALSE(LocatePayloadIn(uninstaller, kInstallerIdentifier).found);
    const std::wstring tag = tag_;
    const std::wstring viewerKey = L"HKEY_CURRENT_USER%5CSoftware%5C" + tag + L"%5CVendor%5CViewer";
    const std::vector<std::wstring> record = {
        L"General/Title=" + tag + L" Viewer/",
        L"General/Prefix=/",
        L"General/Name=" + tag + L"NoSuchWindow/",
        L"General/Version=2.1/",
        L"General/Suffix=/",
        L"General/InstallDir=" + ReplaceAll(ReplaceAll(dir, L":", L"%3A"), L"\\", L"%5C") + L"/",
        L"File/{InstallDir}/viewer.exe/",
        L"File/{InstallDir}/docs%2F/",
        L"File/{InstallDir}/docs%5Cen%2F/",
        L"File/{InstallDir}/docs%5Creadme.txt/",
        L"File/{InstallDir}/docs%5Cen%5Cguide.txt/",
        L"File/{InstallDir}/Uninstall.exe/",
        L"Registry/" + viewerKey + L"/Path/",
        L"Registry/" + viewerKey + L"/Count/",
        L"Registry/" + viewerKey + L"/Zero/",
        L"Registry/" + viewerKey + L"/Blob/",
        L"Registry/HKEY_CURRENT_USER%5CSoftware%5C" + tag + L"%5CSettings/Lang/",
        L"Shortcut/{DeskTop}/" + tag + L" Viewer/",
        L"Shortcut/{StartMenu}%5CPrograms%5C" + tag + L"/" + tag + L" Guide/",
        L"Shortcut/{InstallDir}/" + tag + L" Nowhere/",
    };
    EXPECT_EQ(EntryNames(uninstaller), record);

    // The product under the Uninstall key, with single separators in the command.
    EXPECT_TRUE(ReadString(UninstallKey(), L"DisplayName", text));
    EXPECT_EQ(text, Title() + L" 2.1");
    EXPECT_TRUE(ReadString(UninstallKey(), L"DisplayVersion", text));
    EXPECT_EQ(text, L"2.1");
    EXPECT_TRUE(ReadString(UninstallKey(), L"UninstallString", text));
    EXPECT_EQ(text, L"\"" + dir + L"\\Uninstall.exe\"");
}

TEST_F(InstallEngine, UninstallRemovesWhatTheRecordLists) {
    WritePackage(FullPackage());
    const SetupSettings settings = InstallSettings();
    {
        CProgressInstall engine(EngineSource{Package(), &settings});
        TestPage page(engine);
        ASSERT_TRUE(page.RunToCompletion());
    }
    const std::wstring dir = InstallDir();
    ASSERT_TRUE(FileExists(dir + L"\\Uninstall.exe"));
    // What the user added afterwards.
    ASSERT_TRUE(WriteWholeFile(dir + L"\\notes.txt", "mine"));
    CRegistryKey user;
    ASSERT_TRUE(user.Open(SettingsKey()));
    ASSERT_TRUE(user.SetValue(L"UserValue", L"mine", REG_SZ));
    user.Close();

    // The uninstaller runs from a copy, as the wizard moves it out of the folder.
    const std::wstring copy = Root() + L"\\Uninstall-copy.exe";
    ASSERT_TRUE(CopyFileW((dir + L"\\Uninstall.exe").c_str(), copy.c_str(), FALSE));
    SetupSettings recorded;
    ASSERT_TRUE(ReadSetupSettingsFrom(copy, recorded));
    EXPECT_EQ(recorded.Mode, SetupMode::Uninstall);
    EXPECT_EQ(recorded.InstallDir, dir);
    EXPECT_EQ(recorded.Title, Title());

    CProgressUninstall engine(EngineSource{copy, &recorded});
    TestPage page(engine);
    ASSERT_TRUE(page.RunToCompletion());
    EXPECT_EQ(page.Completions(), 1);
    EXPECT_EQ(page.Position(), 100);
    const std::vector<std::wstring> items = {dir + L"\\viewer.exe", dir + L"\\docs\\readme.txt",
                                             dir + L"\\docs\\en\\guide.txt",
                                             dir + L"\\Uninstall.exe"};
    ExpectItemsInOrder(page.Items(), items);

    for (const std::wstring &file : items) EXPECT_FALSE(FileExists(file)) << file;
    EXPECT_FALSE(FolderExists(dir + L"\\docs"));
    EXPECT_TRUE(FileExists(dir + L"\\notes.txt"));
    EXPECT_TRUE(FolderExists(dir));
    EXPECT_TRUE(FileExists(copy));

    EXPECT_FALSE(KeyExists(ViewerKey())) << "its last recorded value is gone";
    EXPECT_TRUE(KeyExists(VendorKey())) << "parent keys stay, empty or not";
    std::wstring text;
    EXPECT_FALSE(ReadString(SettingsKey(), L"Lang", text));
    EXPECT_TRUE(ReadString(SettingsKey(), L"UserValue", text));
    EXPECT_FALSE(FileExists(DesktopLink()));
    EXPECT_FALSE(FileExists(GuideLink()));
    EXPECT_FALSE(KeyExists(UninstallKey()));
}

TEST_F(InstallEngine, UninstallRemovesEmptiedFoldersAndReadOnlyFiles) {
    TestPackage p;
    p.Line("General/Title=" + Tag() + " Viewer")
        .File("Uninstall.exe", kProgram)
        .Folder("File/Target={InstallDir}/docs")
        .File("File/Target={InstallDir}/docs/a.txt", "locked", true);
    WritePackage(p);
    const SetupSettings settings = InstallSettings();
    {
        CProgressInstall engine(EngineSource{Package(), &settings});
        TestPage page(engine);
        ASSERT_TRUE(page.RunToCompletion());
    }
    const std::wstring dir = InstallDir();
    ASSERT_TRUE(GetFileAttributesW((dir + L"\\docs\\a.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    const std::wstring copy = Root() + L"\\Uninstall-copy.exe";
    ASSERT_TRUE(CopyFileW((dir + L"\\Uninstall.exe").c_str(), copy.c_str(), FALSE));
    SetupSettings recorded;
    ASSERT_TRUE(ReadSetupSettingsFrom(copy, recorded));
    CProgressUninstall engine(EngineSource{copy, &recorded});
    TestPage page(engine);
    ASSERT_TRUE(page.RunToCompletion());
    EXPECT_FALSE(FolderExists(dir)) << "file, folder and installation folder are all gone";
    EXPECT_FALSE(KeyExists(UninstallKey()));
}

TEST_F(InstallEngine, PayloadWithoutUninstallerGetsNoRecordAndNoKey) {
    TestPackage p;
    p.Line("General/Title=" + Tag() + " Viewer")
        .File("File/Target={InstallDir}/viewer.exe", kViewerBytes)
        .Line("Registry/HKEY_CURRENT_USER%5CSoftware%5C" + Tag() + "%5CSettings/Lang/en/REG_SZ");
    WritePackage(p);
    const SetupSettings settings = InstallSettings();
    CProgressInstall engine(EngineSource{Package(), &settings});
    TestPage page(engine);
    ASSERT_TRUE(page.RunToCompletion());
    EXPECT_EQ(ReadWholeFile(InstallDir() + L"\\viewer.exe"), kViewerBytes);
    std::wstring text;
    EXPECT_TRUE(ReadString(SettingsKey(), L"Lang", text));
    EXPECT_FALSE(FileExists(InstallDir() + L"\\Uninstall.exe"));
    EXPECT_FALSE(KeyExists(UninstallKey()));
}

TEST_F(InstallEngine, ReadOnlyUninstallerIsRegisteredWithoutRecord) {
    TestPackage p;
    p.Line("General/Title=" + Tag() + " Viewer").File("Uninstall.exe", kProgram, true);
    WritePackage(p);
    const SetupSettings settings = InstallSettings();
    CProgressInstall engine(EngineSource{Package(), &settings});
    TestPage page(engine);
    ASSERT_TRUE(page.RunToCompletion());
    const std::wstring uninstaller = InstallDir() + L"\\Uninstall.exe";
    EXPECT_TRUE(GetFileAttributesW(uninstaller.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(ReadWholeFile(uninstaller), kProgram);
    std::wstring text;
    EXPECT_TRUE(ReadString(UninstallKey(), L"UninstallString", text));
    EXPECT_EQ(text, L"\"" + uninstaller + L"\"");
    EXPECT_FALSE(ReadString(UninstallKey(), L"DisplayVersion", text)) << "no Version, no DisplayVersion";
}

TEST_F(InstallEngine, DamagedPackagesStillComplete) {
    // No archive after the marker's place at all.
    ASSERT_TRUE(WriteWholeFile(Package(), kProgram));
    SetupSettings settings;
    settings.Title = Title();
    settings.InstallDir = TypedInstallDir();
    settings.RequiredBytes = 1000;
    {
        CProgressInstall engine(EngineSource{Package(), &settings});
        TestPage page(engine);
        ASSERT_TRUE(page.RunToCompletion());
        EXPECT_EQ(page.Position(), 0);
    }
    // An archive without its end record.
    TestPackage p;
    p.Line("General/Title=" + Tag() + " Viewer")
        .File("Uninstall.exe", kProgram)
        .File("File/Target={InstallDir}/viewer.exe", kViewerBytes);
    WritePackage(p);
    std::string bytes = ReadWholeFile(Package());
    ASSERT_TRUE(WriteWholeFile(Package(), bytes.substr(0, bytes.size() - 10)));
    {
        CProgressInstall engine(EngineSource{Package(), &settings});
        TestPage page(engine);
        ASSERT_TRUE(page.RunToCompletion());
        EXPECT_EQ(page.Completions(), 1);
    }
    EXPECT_FALSE(FolderExists(InstallDir()));
    EXPECT_FALSE(KeyExists(UninstallKey()));
}

TEST_F(InstallEngine, DamagedEntryIsSkippedAndTheRunGoesOn) {
    const std::string pattern(4096, 'Q');
    TestPackage p;
    p.Line("General/Title=" + Tag() + " Viewer")
        .File("Uninstall.exe", kProgram)
        .File("File/Target={InstallDir}/bad.bin", pattern, false, true)
        .File("File/Target={InstallDir}/good.txt", "good")
        .Line("Registry/HKEY_CURRENT_USER%5CSoftware%5C" + Tag() + "%5CSettings/Lang/en/REG_SZ");
    WritePackage(p);
    std::string bytes = ReadWholeFile(Package());
    size_t at = bytes.find(pattern);
    ASSERT_NE(at, std::string::npos);
    bytes[at + 100] = 'X';  // the stored data no longer matches its CRC-32
    ASSERT_TRUE(WriteWholeFile(Package(), bytes));

    const SetupSettings settings = InstallSettings();
    CProgressInstall engine(EngineSource{Package(), &settings});
    TestPage page(engine);
    ASSERT_TRUE(page.RunToCompletion());
    EXPECT_TRUE(FileExists(InstallDir() + L"\\bad.bin")) << "what was written of it stays";
    EXPECT_EQ(ReadWholeFile(InstallDir() + L"\\good.txt"), "good");
    std::wstring text;
    EXPECT_TRUE(ReadString(SettingsKey(), L"Lang", text));
    EXPECT_TRUE(LocatePayloadIn(InstallDir() + L"\\Uninstall.exe", kUninstallerIdentifier).found);
    EXPECT_TRUE(KeyExists(UninstallKey()));
}

TEST_F(InstallEngine, StopDuringALargeExtractionEndsPromptly) {
    const uint64_t big = 400ull << 20;
    TestPackage p;
    p.Line("General/Title=" + Tag() + " Viewer")
        .File("Uninstall.exe", kProgram)
        .Zeros("File/Target={InstallDir}/big.bin", big)
        .Line("Registry/HKEY_CURRENT_USER%5CSoftware%5C" + Tag() + "%5CSettings/Lang/en/REG_SZ");
    WritePackage(p);
    const SetupSettings settings = InstallSettings();
    CProgressInstall engine(EngineSource{Package(), &settings});
    TestPage page(engine);
    const int threadsBefore = ThreadCount();
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(page.PumpUntil([&] { return page.Position() >= 1; }, 60000));
    EXPECT_GT(ThreadCount(), threadsBefore);

    const DWORD start = GetTickCount();
    engine.StopWorker();
    const DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 3000u);
    EXPECT_LE(ThreadCount(), threadsBefore) << "the worker has ended";
    // The run still posted its end, after which the page stops it once more.
    EXPECT_TRUE(page.PumpUntil([&] { return page.Completions() == 1; }, 5000));

    EXPECT_LT(FileSize(InstallDir() + L"\\big.bin"), big) << "the stopped file stays partial";
    std::wstring text;
    EXPECT_FALSE(ReadString(SettingsKey(), L"Lang", text)) << "entries after the stop are skipped";
    EXPECT_TRUE(LocatePayloadIn(InstallDir() + L"\\Uninstall.exe", kUninstallerIdentifier).found);
    EXPECT_TRUE(KeyExists(UninstallKey()));
}

TEST_F(InstallEngine, DestroyedWhileRunningWaitsForItsWorker) {
    TestPackage p;
    p.Line("General/Title=" + Tag() + " Viewer").Zeros("File/Target={InstallDir}/big.bin", 400ull << 20);
    WritePackage(p);
    const SetupSettings settings = InstallSettings();
    DWORD took = 0;
    {
        CProgressInstall engine(EngineSource{Package(), &settings});
        TestPage page(engine);
        ASSERT_TRUE(engine.Start());
        ASSERT_TRUE(page.PumpUntil([&] { return page.Position() >= 1; }, 60000));
        const DWORD start = GetTickCount();
        engine.StopWorker();
        took = GetTickCount() - start;
        // A second Start after a stop runs again from the beginning.
        ASSERT_TRUE(engine.Start());
        Sleep(50);
    }  // the page and then the engine go while the second run is busy
    EXPECT_LT(took, 3000u);
    EXPECT_TRUE(FileExists(InstallDir() + L"\\big.bin"));
}

}  // namespace

namespace {

class UninstallEngine : public EngineTest {};

TEST_F(UninstallEngine, TitleWithEscapedCharactersNamesTheKeyItWasInstalledUnder) {
    const std::string title = Tag() + " Viewer: Lite";
    const std::wstring key = UninstallKeyPath(Widen(title));
    TestPackage p;
    p.Line("General/Title=" + title).File("Uninstall.exe", kProgram);
    WritePackage(p);
    const SetupSettings settings = InstallSettings();
    {
        CProgressInstall engine(EngineSource{Package(), &settings});
        TestPage page(engine);
        ASSERT_TRUE(page.RunToCompletion());
    }
    ASSERT_TRUE(KeyExists(key));
    const std::wstring copy = Root() + L"\\Uninstall-copy.exe";
    ASSERT_TRUE(CopyFileW((InstallDir() + L"\\Uninstall.exe").c_str(), copy.c_str(), FALSE));
    SetupSettings recorded;
    ASSERT_TRUE(ReadSetupSettingsFrom(copy, recorded));
    EXPECT_EQ(recorded.Title, Widen(Tag()) + L" Viewer%3A Lite") << "the record keeps it escaped";
    CProgressUninstall engine(EngineSource{copy, &recorded});
    TestPage page(engine);
    ASSERT_TRUE(page.RunToCompletion());
    EXPECT_FALSE(KeyExists(key));
    CRegistryKey::DeleteKey(key);
}

TEST_F(UninstallEngine, StopBetweenEntriesKeepsTheProductRegistered) {
    // A long record of values that are not there, so the walk takes a while.
    TestPackage record;
    record.Line("General/Title=" + Tag() + " Viewer");
    for (int i = 0; i < 4000; ++i)
        record.Line("Registry/HKEY_CURRENT_USER%5CSoftware%5C" + Tag() + "%5CNone" +
                    std::to_string(i) + "/v");
    const std::wstring uninstaller = Root() + L"\\Uninstall.exe";
    ASSERT_TRUE(record.Write(uninstaller, kProgram, kUninstallerIdentifier));
    CRegistryKey product;
    ASSERT_TRUE(product.Create(UninstallKey()));
    product.Close();

    SetupSettings recorded;
    ASSERT_TRUE(ReadSetupSettingsFrom(uninstaller, recorded));
    ASSERT_EQ(recorded.Mode, SetupMode::Uninstall);
    CProgressUninstall engine(EngineSource{uninstaller, &recorded});
    TestPage page(engine);
    ASSERT_TRUE(engine.Start());
    const DWORD start = GetTickCount();
    engine.StopWorker();
    EXPECT_LT(GetTickCount() - start, 3000u);
    EXPECT_TRUE(page.PumpUntil([&] { return page.Completions() == 1; }, 5000));
    EXPECT_LT(page.Position(), 100);
    EXPECT_TRUE(KeyExists(UninstallKey()));

    // Run to the end, the key goes.
    ASSERT_TRUE(page.RunToCompletion());
    EXPECT_EQ(page.Position(), 100);
    EXPECT_FALSE(KeyExists(UninstallKey()));
}

// The shortcuts' folders: emptied ones go, deepest first, in both variants;
// a folder that holds a user's own shortcut stays, and so do the Start menu's
// own folders even when the uninstall empties them.
TEST_F(UninstallEngine, ShortcutFoldersGoOnlyOnceEmpty) {
    const std::wstring startMenu = CommonFolder(CSIDL_COMMON_STARTMENU);
    const std::wstring userStartMenu = CommonFolder(CSIDL_STARTMENU);
    const std::wstring nested = L"Programs\\" + tag_ + L"\\Sub";
    const std::wstring desktop = CommonFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\" + tag_;
    const std::wstring kept = startMenu + L"\\" + tag_ + L"Kept";
    // The Wine prefix is shared: whatever happens, nothing of this test stays.
    struct Cleanup {
        std::vector<std::wstring> folders;
        std::wstring startupLink;
        ~Cleanup() {
            for (const std::wstring &f : folders) DeleteFolderTree(f);
            DeleteShortcut(L"{StartMenu}\\Programs\\StartUp", startupLink);
        }
    } cleanup{
        {startMenu + L"\\Programs\\" + tag_, userStartMenu + L"\\Programs\\" + tag_, desktop, kept},
        tag_ + L" S"};

    const std::wstring target = L"C:\\windows\\notepad.exe";
    CreateShortcut(L"{StartMenu}\\" + nested, tag_ + L" A", L"", target, L"", L"", 0, true);
    CreateShortcut(L"{DeskTop}\\" + tag_, tag_ + L" B", L"", target, L"", L"", 0, true);
    CreateShortcut(L"{StartMenu}\\" + tag_ + L"Kept", tag_ + L" C", L"", target, L"", L"", 0, true);
    CreateShortcut(L"{StartMenu}\\Programs\\StartUp", tag_ + L" S", L"", target, L"", L"", 0, true);
    ASSERT_TRUE(FileExists(startMenu + L"\\" + nested + L"\\" + tag_ + L" A.lnk"));
    ASSERT_TRUE(FileExists(desktop + L"\\" + tag_ + L" B.lnk"));
    // An older installation's link in the user's own Start menu, and the user's
    // own shortcut beside the product's.
    ASSERT_TRUE(CreateFolderPath(userStartMenu + L"\\" + nested));
    ASSERT_TRUE(WriteWholeFile(userStartMenu + L"\\" + nested + L"\\" + tag_ + L" A.lnk", "old"));
    ASSERT_TRUE(WriteWholeFile(kept + L"\\mine.lnk", "mine"));

    // A record may carry lines no installer of ours wrote: paths leading out of
    // their special folder are skipped.
    const std::wstring planted =
        ParentOf(CommonFolder(CSIDL_COMMON_DESKTOPDIRECTORY)) + L"\\" + tag_ + L" Planted.lnk";
    struct PlantedCleanup {
        std::wstring file;
        ~PlantedCleanup() { DeleteFileW(file.c_str()); }
    } plantedCleanup{planted};
    ASSERT_TRUE(WriteWholeFile(planted, "not the product's"));

    TestPackage record;
    record.Line("General/Title=" + Tag() + " Viewer")
        .Line("Shortcut/{StartMenu}%5CPrograms%5C" + Tag() + "%5CSub/" + Tag() + " A")
        .Line("Shortcut/{DeskTop}%5C" + Tag() + "/" + Tag() + " B")
        .Line("Shortcut/{StartMenu}%5C" + Tag() + "Kept/" + Tag() + " C")
        .Line("Shortcut/{StartMenu}%5CPrograms%5CStartUp/" + Tag() + " S")
        .Line("Shortcut/{DeskTop}/..%5C" + Tag() + " Planted")
        .Line("Shortcut/{DeskTop}%5C..%5C/" + Tag() + " Planted");
    const std::wstring uninstaller = Root() + L"\\Uninstall.exe";
    ASSERT_TRUE(record.Write(uninstaller, kProgram, kUninstallerIdentifier));
    SetupSettings recorded;
    ASSERT_TRUE(ReadSetupSettingsFrom(uninstaller, recorded));
    CProgressUninstall engine(EngineSource{uninstaller, &recorded});
    TestPage page(engine);
    ASSERT_TRUE(page.RunToCompletion());

    EXPECT_FALSE(FolderExists(startMenu + L"\\Programs\\" + tag_));
    EXPECT_FALSE(FolderExists(userStartMenu + L"\\Programs\\" + tag_));
    EXPECT_FALSE(FolderExists(desktop));
    EXPECT_TRUE(FolderExists(CommonFolder(CSIDL_COMMON_DESKTOPDIRECTORY)));
    EXPECT_TRUE(FolderExists(CommonFolder(CSIDL_COMMON_PROGRAMS)));
    EXPECT_TRUE(FolderExists(CommonFolder(CSIDL_PROGRAMS)));
    EXPECT_FALSE(FileExists(CommonFolder(CSIDL_COMMON_STARTUP) + L"\\" + tag_ + L" S.lnk"));
    EXPECT_TRUE(FolderExists(CommonFolder(CSIDL_COMMON_STARTUP)));
    EXPECT_FALSE(FileExists(kept + L"\\" + tag_ + L" C.lnk"));
    EXPECT_EQ(ReadWholeFile(kept + L"\\mine.lnk"), "mine");
    EXPECT_EQ(ReadWholeFile(planted), "not the product's");
}

// Shortcut lines whose folder or name would leave the special folder fail as
// other bad lines do; the line beside them is made.
TEST_F(InstallEngine, ShortcutsThatLeaveTheirSpecialFolderAreRefused) {
    const std::string tag = Tag(), target = "/x/{InstallDir}%5Cviewer.exe";
    TestPackage p;
    p.Line("General/Title=" + tag + " Viewer")
        .File("File/Target={InstallDir}/viewer.exe", kViewerBytes)
        .Line("Shortcut/{StartMenu}%5C..%5C..%5C" + tag + "Out/" + tag + " Up" + target)
        .Line("Shortcut/{DeskTop}/..%5C" + tag + " Up" + target)
        .Line("Shortcut/{DeskTop}%5C...%5C" + tag + "/" + tag + " Dots" + target)
        .Line("Shortcut/{DeskTop}%5CC:%5C" + tag + "Drive/" + tag + " Drive" + target)
        .Line("Shortcut/{DeskTop}/%5C" + tag + " Root" + target)
        .Line("Shortcut/{DeskTop}/" + tag + " Made" + target);
    WritePackage(p);

    const std::wstring desktop = CommonFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    const std::wstring userDesktop = CommonFolder(CSIDL_DESKTOPDIRECTORY);
    const std::wstring startMenu = CommonFolder(CSIDL_COMMON_STARTMENU);
    const std::vector<std::wstring> outside = {
        ParentOf(ParentOf(startMenu)) + L"\\" + tag_ + L"Out",
        ParentOf(desktop) + L"\\" + tag_ + L" Up.lnk",
        ParentOf(userDesktop) + L"\\" + tag_ + L" Up.lnk",
        ParentOf(desktop) + L"\\" + tag_ + L"\\" + tag_ + L" Dots.lnk",
        L"C:\\" + tag_ + L"Drive",
        desktop + L"\\" + tag_ + L" Root.lnk",
    };
    struct Cleanup {
        std::vector<std::wstring> paths;
        ~Cleanup() {
            for (const std::wstring &path : paths) {
                DeleteFileW(path.c_str());
                DeleteFolderTree(path);
            }
        }
    } cleanup{outside};
    cleanup.paths.push_back(desktop + L"\\" + tag_ + L" Made.lnk");

    const SetupSettings settings = InstallSettings();
    CProgressInstall engine(EngineSource{Package(), &settings});
    TestPage page(engine);
    ASSERT_TRUE(page.RunToCompletion());
    EXPECT_TRUE(FileExists(desktop + L"\\" + tag_ + L" Made.lnk"));
    for (const std::wstring &path : outside)
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()))
            << testing::PrintToString(path);
}

}  // namespace
