// The catalogue search against the sample update server serving the sample tree
// on 127.0.0.2 (run.sh), compared with the same walk over the tree on disk.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/wine/catalogue/catalogue_wine_support.h"
#include "tests/wine/ftp_access/server_log_win.h"
#include "updater/catalogue/catalogue_search_win.h"
#include "updater/catalogue/counting_lister.h"
#include "updater/catalogue/installed_version_win.h"
#include "updater/catalogue/local_folder_lister.h"

namespace {

std::vector<std::wstring> Lines(const ComponentList &list) {
    std::vector<std::wstring> lines;
    for (const ComponentRow &row : list.Rows())
        lines.push_back(RowLine(row));
    return lines;
}

std::wstring Packages(const ComponentList &list) {
    std::wstring text;
    for (const ComponentRow &row : list.Rows())
        for (const PackageEntry &p : *row.packages)
            text += p.root + L"|" + p.component + L"|" + p.windowsFolder + L"|" + p.version + L"|" +
                    p.fileName + L"\n";
    return text;
}

class CatalogueServerTest : public testing::Test {
protected:
    static void SetUpTestSuite() { InstallSampleVersions(); }
    static void TearDownTestSuite() { RemoveSampleVersions(); }
    void SetUp() override { log.Mark(); }
    ServerLog log;
};

TEST_F(CatalogueServerTest, SearchOffersThePredictedRowsForEachWindowsAndAgreesWithTheTreeOnDisk) {
    for (const wchar_t *windows : {L"Win7", L"Vista", L"XP"}) {
        SetDeviceProfile(SampleDevice(windows));
        ComponentList fromServer;
        ASSERT_EQ(SearchOutcome::kFound, SearchCatalogue(fromServer)) << windows;
        EXPECT_EQ(SampleRows(windows), Lines(fromServer)) << windows;

        // The same walk over the folder the server serves: not one row differs.
        LocalFolderLister local(SampleTreeFolder());
        CRegistryInventory installed(L"MID");
        ComponentList fromDisk;
        WalkCatalogue(local, installed, CataloguePathsFor(GetDeviceProfile(), GetSystemDefaultLangID()),
                      windows, fromDisk);
        EXPECT_EQ(Lines(fromServer), Lines(fromDisk)) << windows;
        EXPECT_EQ(Packages(fromServer), Packages(fromDisk)) << windows;
    }
    // The package order of one component: ZIP first, installers after, then the rest.
    SetDeviceProfile(SampleDevice(L"XP"));
    LocalFolderLister local(SampleTreeFolder());
    ComponentList list;
    CRegistryInventory installed(L"MID");
    ScanRoot(local, installed, L"/[MID]/marbo K4/[common2]/Drivers_1", L"XP", list);
    ASSERT_EQ(2u, list.Size());
    ASSERT_EQ(3u, list[1].packages->size());
    EXPECT_EQ(L"g.zip", (*list[1].packages)[0].fileName);
    EXPECT_EQ(L"Setup.exe", (*list[1].packages)[1].fileName);
    EXPECT_EQ(L"readme.txt", (*list[1].packages)[2].fileName);
}

TEST_F(CatalogueServerTest, SearchCreatesTheReportFoldersOnTheServerAndCountsItsCommands) {
    SetDeviceProfile(SampleDevice(L"Win7"));
    const std::wstring device = SampleTreeFolder() + L"\\[MID]\\[]\\(9HK4) (marbo K4) (EX) (" +
                                (GetSystemDefaultLangID() == 0x0412 ? L"0412" : L"0409") + L")";
    ComponentList list;
    log.Mark();
    ASSERT_EQ(SearchOutcome::kFound, SearchCatalogue(list));
    const DWORD attributes = GetFileAttributesW(device.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        << "no report folder " << std::string(device.begin(), device.end());
    const int commands = log.Count("127.0.0.2", "CMD");
    EXPECT_EQ(2, log.Count("127.0.0.2", "CMD MKD"));
    EXPECT_TRUE(log.WaitUntilNoOpenSession("127.0.0.2", 5000)) << "the search left its connection open";

    // The same walk, counted at the lister.
    LocalFolderLister local(SampleTreeFolder());
    CountingLister counted(local);
    CRegistryInventory installed(L"MID");
    ComponentList again;
    WalkCatalogue(counted, installed, CataloguePathsFor(GetDeviceProfile(), GetSystemDefaultLangID()),
                  L"Win7", again);
    const int least = counted.LeastFtpCommands();
    std::printf("catalogue search: %d FTP commands (log-in included); the walk needs at least %d "
                "(%d folders asked for, %d of them listed, %d folder creations)\n",
                commands, least, counted.asked, counted.listed, counted.creations);
    EXPECT_EQ(log.Count("127.0.0.2", "CMD LIST"), counted.listed);
    EXPECT_EQ(log.Count("127.0.0.2", "CMD CWD"), counted.asked);

    // Existing report folders are no error.
    ASSERT_EQ(SearchOutcome::kFound, SearchCatalogue(list));
}

TEST_F(CatalogueServerTest, NoServerAndNothingOfferedAreTheTwoOutcomesWithoutRows) {
    SetDeviceProfile(SampleDevice(L"Win7"));
    ComponentList list;
    FtpEndpoint nowhere = SecondaryServer();
    nowhere.server = L"127.0.0.3";
    EXPECT_EQ(SearchOutcome::kConnectFailed, SearchCatalogue(list, nowhere));
    EXPECT_TRUE(list.Empty());

    DeviceProfile unknown = SampleDevice(L"Win7");
    unknown.modelName = L"marbo K9";
    SetDeviceProfile(unknown);
    EXPECT_EQ(SearchOutcome::kNothingFound, SearchCatalogue(list));
    EXPECT_TRUE(list.Empty());
}

}  // namespace
