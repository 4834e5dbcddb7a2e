#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "common/kernel_handle_win.h"
#include "common/system_folders.h"
#include "setup/archive/payload_archive.h"
#include "setup/script/setup_markers.h"
#include "setup/script/setup_startup.h"
#include "tests/wine/setup_startup/debuggee_win.h"
#include "tools/pkgbuild/package_writer.h"

namespace fs = std::filesystem;

namespace {

class SetupStartup : public testing::Test {
protected:
    static void SetUpTestSuite() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = fs::path(temp) / ("setup-startup-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(folder_);
        program_ = WinePath(TEST_MARBOSETUP);
        for (bool absolute : {false, true}) {
            BuildOptions o;
            o.description = WinePath(TEST_SAMPLE_FOLDER "/viewer-package.txt");
            o.program = program_;
            o.output = folder_ / (absolute ? L"viewer-abs.exe" : L"viewer.exe");
            o.absoluteOffsets = absolute;
            BuildPackage(o);
        }
    }
    static void TearDownTestSuite() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    static std::wstring Special(int id) {
        std::wstring path;
        GetSpecialFolder(path, nullptr, id);
        return path;
    }

    static fs::path folder_;
    static fs::path program_;
};

fs::path SetupStartup::folder_;
fs::path SetupStartup::program_;

TEST_F(SetupStartup, APackageFillsTheSettingsInBothOffsetLayouts) {
    for (const wchar_t *name : {L"viewer.exe", L"viewer-abs.exe"}) {
        SetupSettings s;
        ASSERT_TRUE(ReadSetupSettingsFrom((folder_ / name).wstring(), s)) << name;
        EXPECT_EQ(s.Mode, SetupMode::Install);
        EXPECT_EQ(s.ProgramFilesDir, Special(CSIDL_PROGRAM_FILES));
        EXPECT_EQ(s.WindowsDir, Special(CSIDL_WINDOWS));
        EXPECT_EQ(s.SystemDir, Special(CSIDL_SYSTEM));
        EXPECT_EQ(s.Title, L"marbo Viewer");
        EXPECT_EQ(s.Version, L"2.1");
        EXPECT_EQ(ProductCaption(s), L"marbo Viewer - Lite 2.1");
        EXPECT_EQ(s.InstallDir, s.ProgramFilesDir + L"\\marbo Viewer");
        EXPECT_EQ(s.InstallFolderName, L"marbo Viewer");
        EXPECT_EQ(s.HasFiles, L"TRUE");
        EXPECT_EQ(s.AfterPath, L"{WinDir}%5Cnotepad.exe");
        EXPECT_EQ(s.AfterReboot, L"");
        // The files, the uninstaller (the program itself) and nothing for the script lines.
        double expected = double(fs::file_size(program_)) + fs::file_size(WinePath(
            TEST_SAMPLE_FOLDER "/files/readme.txt")) + fs::file_size(WinePath(
            TEST_SAMPLE_FOLDER "/files/viewer.ini")) + fs::file_size(WinePath(
            TEST_SAMPLE_FOLDER "/files/docs/guide.txt")) + fs::file_size(WinePath(
            TEST_SAMPLE_FOLDER "/files/docs/images/sample.png"));
        EXPECT_DOUBLE_EQ(s.RequiredBytes, expected);
    }
}

TEST_F(SetupStartup, TheProgramAloneOrWithAMarkerAtItsVeryEndIsNoPackage) {
    SetupSettings s;
    EXPECT_FALSE(ReadSetupSettingsFrom(program_.wstring(), s));
    EXPECT_EQ(s.Mode, SetupMode::None);

    fs::path bare = folder_ / L"bare.exe";
    fs::copy_file(program_, bare, fs::copy_options::overwrite_existing);
    {
        std::ofstream out(bare, std::ios::binary | std::ios::app);
        out << InstallerMarker();
    }
    EXPECT_FALSE(ReadSetupSettingsFrom(bare.wstring(), s));
    PayloadLocation where = LocatePayloadIn(bare.wstring(), kInstallerIdentifier);
    EXPECT_FALSE(where.found);
    EXPECT_EQ(where.path, GetProgramFolder() + L"\\" + kInstallerIdentifier + L".zip");
    EXPECT_EQ(where.offset, 0u);

    PayloadLocation found = LocatePayloadIn((folder_ / L"viewer.exe").wstring(), kInstallerIdentifier);
    EXPECT_TRUE(found.found);
    EXPECT_EQ(found.offset, fs::file_size(program_));
}

TEST_F(SetupStartup, AnUninstallerReadsItsRecordAsWritten) {
    fs::path uninstaller = folder_ / L"Uninstall.exe";
    fs::copy_file(program_, uninstaller, fs::copy_options::overwrite_existing);
    CKernelHandle file(CreateFileW(uninstaller.wstring().c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    {
        CRecordAppender record(file.Get(), kUninstallerIdentifier);
        for (const wchar_t *line :
             {L"General\\Title=marbo Viewer", L"General\\Version=2.1",
              L"General\\InstallDir=C%3A%5CApps%5CViewer", L"File\\{InstallDir}\\readme.txt",
              L"File\\{InstallDir}\\Uninstall.exe"})
            record.AddFolderEntry(line);
        record.Close();
    }
    file.Reset();

    SetupSettings s;
    ASSERT_TRUE(ReadSetupSettingsFrom(uninstaller.wstring(), s));
    EXPECT_EQ(s.Mode, SetupMode::Uninstall);
    EXPECT_EQ(s.Title, L"marbo Viewer");
    EXPECT_EQ(s.InstallDir, L"C:\\Apps\\Viewer");
    EXPECT_EQ(s.InstallFolderName, L"Viewer");
    EXPECT_EQ(s.HasFiles, L"TRUE");
}

TEST_F(SetupStartup, WithoutAMarkerTheProgramEndsAtOnceShowingNothing) {
    DebuggeeRun run = RunDebuggee(L"\"" + program_.wstring() + L"\"", 20000, nullptr);
    ASSERT_TRUE(run.started);
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_FALSE(run.sawVisibleWindow);
    EXPECT_LT(run.milliseconds, 10000u);
    for (const std::string &line : run.debugOutput)
        EXPECT_EQ(line.find("Title="), std::string::npos) << line;
}

TEST_F(SetupStartup, WithAMarkerTheProgramTracesEverySettingItStores) {
    auto complete = [](const std::vector<std::string> &lines) {
        for (const std::string &l : lines)
            if (l == "AfterReboot=TRUE" || l.rfind("AfterParam=", 0) == 0) return true;
        return false;
    };
    DebuggeeRun run =
        RunDebuggee(L"\"" + (folder_ / L"viewer.exe").wstring() + L"\"", 30000, complete);
    ASSERT_TRUE(run.started);
    std::vector<std::string> expected = {
        "Title=marbo Viewer",       "Prefix=Lite",
        "Name=MarboViewerWindow",   "Version=2.1",
        "Suffix=K4",                "InstallDir={ProgramFiles}%5Cmarbo Viewer",
        "AfterPath={WinDir}%5Cnotepad.exe", "AfterParam=\"{InstallDir}%5Creadme.txt\""};
    std::vector<std::string> traced;
    for (const std::string &line : run.debugOutput)
        if (line.find('=') != std::string::npos) traced.push_back(line);
    EXPECT_EQ(traced, expected);
}

TEST_F(SetupStartup, TheWindowsBuildOfMarboPackBuildsAndListsTheSample) {
    fs::path out = folder_ / L"from-console.exe";
    std::wstring command = L"\"" + WinePath(TEST_MARBO_PACK) + L"\" build \"" +
                           WinePath(TEST_SAMPLE_FOLDER "/viewer-package.txt") + L"\" --program \"" +
                           program_.wstring() + L"\" --output \"" + out.wstring() + L"\" --quiet";
    DebuggeeRun build = RunDebuggee(command, 60000, nullptr);
    ASSERT_TRUE(build.exited);
    EXPECT_EQ(build.exitCode, 0u);
    SetupSettings s;
    ASSERT_TRUE(ReadSetupSettingsFrom(out.wstring(), s));
    EXPECT_EQ(s.Title, L"marbo Viewer");
    EXPECT_EQ(fs::file_size(out), fs::file_size(folder_ / L"viewer.exe"));

    DebuggeeRun list = RunDebuggee(L"\"" + WinePath(TEST_MARBO_PACK) + L"\" list \"" +
                                       out.wstring() + L"\"", 60000, nullptr);
    EXPECT_TRUE(list.exited);
    EXPECT_EQ(list.exitCode, 0u);
    DebuggeeRun refused = RunDebuggee(L"\"" + WinePath(TEST_MARBO_PACK) + L"\" build \"" +
                                          WinePath(TEST_SAMPLE_FOLDER "/viewer-package.txt") +
                                          L"\" --program \"" + out.wstring() + L"\" --output \"" +
                                          (folder_ / L"refused.exe").wstring() + L"\"", 60000, nullptr);
    EXPECT_TRUE(refused.exited);
    EXPECT_EQ(refused.exitCode, 1u);
    EXPECT_FALSE(fs::exists(folder_ / L"refused.exe"));
}

// Run once on an English and once on a Korean system (see CMakeLists.txt):
// names are read in the system's ANSI code page, so a package built for code
// page 949 shows its Korean texts on a Korean system only.
TEST_F(SetupStartup, KoreanTextsNeedAKoreanSystem) {
    if (const char *expected = std::getenv("EXPECT_ANSI_CODE_PAGE")) {
        ASSERT_EQ(GetACP(), UINT(std::atoi(expected))) << "the locale did not reach Wine";
    }
    fs::path description = folder_ / L"korean.txt";
    {
        std::ofstream out(description, std::ios::binary);
        out << "[Package]\nUninstaller = no\n[General]\n"
               "Title = \xEB\xA7\x88\xEB\xA5\xB4\xEB\xB3\xB4 \xEB\xB7\xB0\xEC\x96\xB4\n"
               "InstallDir = {ProgramFiles}\\\xEB\xB7\xB0\xEC\x96\xB4\n";
    }
    BuildOptions o;
    o.description = description;
    o.program = program_;
    o.output = folder_ / L"korean.exe";
    o.codePage = 949;
    BuildPackage(o);
    SetupSettings s;
    ASSERT_TRUE(ReadSetupSettingsFrom(o.output.wstring(), s));
    const std::wstring title = L"\uB9C8\uB974\uBCF4 \uBDF0\uC5B4";  // "마르보 뷰어"
    if (GetACP() == 949) {
        EXPECT_EQ(s.Title, title);
        EXPECT_EQ(s.InstallFolderName, L"\uBDF0\uC5B4");
        EXPECT_EQ(ProductCaption(s), title);
    } else {
        EXPECT_NE(s.Title, title);
        EXPECT_EQ(s.Title.size(), 11u);  // each of the 10 bytes of Hangul read as a character
    }
}

}  // namespace
