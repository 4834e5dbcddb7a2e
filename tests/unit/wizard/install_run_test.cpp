#include "updater/wizard/install_run.h"

#include <gtest/gtest.h>

namespace {

TEST(InstallRunTexts, NamesTitlesAndCommandLines) {
    struct {
        const wchar_t *fileName, *packageName;
    } names[] = {{L"Driver.zip", L"Driver"},   {L"a.b.c.exe", L"a.b.c"}, {L"README", L"README"},
                 {L".profile", L".profile"},   {L"x.", L"x"},           {L"", L""}};
    for (const auto &n : names)
        EXPECT_EQ(PlacePackage({L"r", L"c", L"", L"1", n.fileName}, L"C:").packageName, n.packageName)
            << n.fileName;

    struct {
        const wchar_t *component, *title;
    } titles[] = {{L"marboMusic", L"Tune Forge"}, {L"MARBOMUSIC", L"Tune Forge"},
                  {L"marboDMB", L"marbo DMB"},    {L"marbo DMB", L"marbo DMB"},
                  {L"marbo", L"marbo"},           {L"MarboDMB", L"Marbo DMB"},
                  {L"Explorer", L"Explorer"}};
    for (const auto &t : titles)
        EXPECT_EQ(WindowTitleFor(t.component), t.title) << t.component;

    const std::wstring msiexec = L"C:\\windows\\system32\\msiexec.exe";
    struct {
        const wchar_t *path;
        std::wstring program, line;
        std::wstring quiet;       // a plain program's quiet line
        std::wstring quietSetup;  // a setup package's quiet line
    } lines[] = {
        // Quoted: unquoted, "C:\Program Files\..." would first start "C:\Program.exe".
        {L"C:\\Program Files\\Driver\\Setup.exe", msiexec,
         L"\"C:\\Program Files\\Driver\\Setup.exe\"", L"\"C:\\Program Files\\Driver\\Setup.exe\"",
         L"\"C:\\Program Files\\Driver\\Setup.exe\" /S"},
        {L"C:\\T\\Setup.EXE", L"", L"\"C:\\T\\Setup.EXE\"", L"\"C:\\T\\Setup.EXE\"",
         L"\"C:\\T\\Setup.EXE\" /S"},
        {L"C:\\T\\Setup.MSI", msiexec, L"\"" + msiexec + L"\" /i \"C:\\T\\Setup.MSI\"",
         L"\"" + msiexec + L"\" /i \"C:\\T\\Setup.MSI\" /qn", L"\"" + msiexec + L"\" /i \"C:\\T\\Setup.MSI\" /qn"},
        // No msiexec: the file is started by itself, with nothing to add.
        {L"C:\\T\\Setup.msi", L"", L"\"C:\\T\\Setup.msi\"", L"\"C:\\T\\Setup.msi\"",
         L"\"C:\\T\\Setup.msi\""},
        {L"C:\\T\\notes.txt", L"C:\\w\\notepad.exe", L"\"C:\\w\\notepad.exe\" \"C:\\T\\notes.txt\"",
         L"\"C:\\w\\notepad.exe\" \"C:\\T\\notes.txt\"", L"\"C:\\w\\notepad.exe\" \"C:\\T\\notes.txt\""},
        {L"C:\\T\\data.bin", L"", L"\"C:\\T\\data.bin\"", L"\"C:\\T\\data.bin\"", L"\"C:\\T\\data.bin\""},
    };
    for (const auto &l : lines) {
        EXPECT_EQ(InstallerCommandLine(l.path, l.program), l.line) << l.path;
        EXPECT_EQ(QuietInstallerCommandLine(l.path, l.program, false), l.quiet) << l.path;
        EXPECT_EQ(QuietInstallerCommandLine(l.path, l.program, true), l.quietSetup) << l.path;
    }

    EXPECT_TRUE(IsZipPackage(L"marboDMB.ZIP"));
    EXPECT_FALSE(IsZipPackage(L"zip"));
    EXPECT_EQ(RunHeading(2, 3, L"marboDMB", L"1.2"), L"[2 / 3] marboDMB 1.2");
    EXPECT_EQ(DownloadLogLine(L"a.zip", 0x0409), L"  - Downloading \"a.zip\" file.\r\n");
    EXPECT_EQ(InstallLogLine(L"a.zip", 0x0412), L"  - \"a.zip\" 파일을 설치 중입니다.\r\n");
    EXPECT_EQ(DownloadLogLine(L"a.zip", 0x0412), L"  - \"a.zip\" 파일을 다운로드 중입니다.\r\n");
}

TEST(InstallRunTexts, FoldersAreNormalisedEachTheirOwnWay) {
    PackageEntry setupRoot{L"/MID//Setup/", L"Viewer", L"", L"2.0", L"Viewer.zip"};
    PackagePlace place = PlacePackage(setupRoot, L"C:\\Program Files\\Tessel");
    EXPECT_EQ(place.localFolder, L"C:\\Program Files\\Tessel\\Temp\\Viewer\\2.0");
    EXPECT_EQ(place.serverFolder, L"/MID/Setup/Viewer/2.0");
    EXPECT_EQ(place.packageName, L"Viewer");
    EXPECT_EQ(RemotePackagePath(L"127.0.0.1", place), L"127.0.0.1/MID/Setup/Viewer/2.0/Viewer.zip");

    PackageEntry driverRoot{L"MID\\Driver\\marbo K4", L"Audio", L"Win7", L"1.0.3", L"Patch.exe"};
    place = PlacePackage(driverRoot, L"D:\\Tessel\\");
    EXPECT_EQ(place.localFolder, L"D:\\Tessel\\Temp\\Audio\\1.0.3");
    EXPECT_EQ(place.serverFolder, L"MID/Driver/marbo K4/Audio/Win7/1.0.3");
    EXPECT_EQ(RemotePackagePath(L"host/", place), L"host/MID/Driver/marbo K4/Audio/Win7/1.0.3/Patch.exe");
}

// Three ticked rows, one without packages: every package once, in order, with
// the row ordinal and the row's first and last package marked.
TEST(InstallSequenceTest, WalksTickedRowsPackageByPackage) {
    PackageList first{{L"r", L"A", L"", L"1", L"Driver.zip"}, {L"r", L"A", L"", L"1", L"Patch.exe"}};
    PackageList empty;
    PackageList third{{L"r", L"C", L"", L"3", L"C.msi"}};
    InstallSequence run;
    run.Reset({first, empty, empty, third});
    EXPECT_EQ(run.SelectedCount(), 4);
    EXPECT_EQ(run.RowOrdinal(), 0);
    EXPECT_EQ(run.Current(), nullptr);

    struct Step {
        const wchar_t *file;
        int ordinal;
        bool rowStart, rowEnd;
    } expected[] = {{L"Driver.zip", 1, true, false}, {L"Patch.exe", 1, false, true},
                    {L"C.msi", 4, true, true}};
    for (const Step &step : expected) {
        const PackageEntry *entry = run.Next();
        ASSERT_NE(entry, nullptr) << step.file;
        EXPECT_EQ(entry->fileName, step.file);
        EXPECT_EQ(run.Current(), entry);
        EXPECT_EQ(run.RowOrdinal(), step.ordinal) << step.file;
        EXPECT_EQ(run.AtRowStart(), step.rowStart) << step.file;
        EXPECT_EQ(run.AtRowEnd(), step.rowEnd) << step.file;
    }
    EXPECT_EQ(run.Next(), nullptr);
    EXPECT_EQ(run.Next(), nullptr);
    EXPECT_EQ(run.Current(), nullptr);

    run.Reset({});
    EXPECT_EQ(run.Next(), nullptr);
}

}  // namespace
