// The walk over in-memory trees: names with blanks are listed whole here, as
// Windows lists them (Wine's FTP listing would cut them).
#include <gtest/gtest.h>

#include "tests/unit/catalogue/catalogue_test_support.h"
#include "tests/unit/catalogue/sample_device.h"

namespace {

using Rows = std::vector<std::wstring>;

const std::wstring kDrivers = L"/[MID]/marbo K4/[common2]/Drivers_";
const std::wstring kSetup = L"/[MID]/marbo K4/9HK4/Setup";

TEST(CataloguePathsTest, FoldersAreNamedFromTheProfileAndTheLanguage) {
    const CataloguePaths paths = CataloguePathsFor(SampleDevice(), 0x0412);
    EXPECT_EQ(L"/[MID]/[]", paths.reportFolder);
    EXPECT_EQ(L"/[MID]/[]/(9HK4) (marbo K4) (EX) (0412)", paths.deviceReportFolder);
    ASSERT_EQ(9u, paths.driverRoots.size());
    EXPECT_EQ(kDrivers + L"1", paths.driverRoots.front());
    EXPECT_EQ(kDrivers + L"9", paths.driverRoots.back());
    EXPECT_EQ(kSetup, paths.setupRoot);

    DeviceProfile cmpc;
    cmpc.family = L"CMPC";
    cmpc.modelName = L"marbo C2";
    const CataloguePaths noSerial = CataloguePathsFor(cmpc, 0x0409);
    EXPECT_EQ(L"/[CMPC]/[]/(0000) (marbo C2) () (0409)", noSerial.deviceReportFolder);
    EXPECT_EQ(L"/[CMPC]/marbo C2/0000/Setup", noSerial.setupRoot);

    cmpc.serial = L"AB";
    cmpc.modelSuffix = L"S";
    const CataloguePaths shortSerial = CataloguePathsFor(cmpc, 0x0c0a);
    EXPECT_EQ(L"/[CMPC]/[]/(AB) (marbo C2) (S) (0C0A)", shortSerial.deviceReportFolder);
    EXPECT_EQ(L"/[CMPC]/marbo C2/AB/Setup", shortSerial.setupRoot);
}

// Several roots, Windows folders, version orderings and a component offered twice.
TEST(CatalogueWalkTest, SearchOverSeveralRootsGivesOneRowPerComponentFromItsLastRoot) {
    TreeLister server;
    const std::wstring d1 = kDrivers + L"1/";
    server.AddFile(d1 + L"Chipset Device/Win7/9.1/readme.txt");
    server.AddFile(d1 + L"Chipset Device/Win7/9.1/chipset.exe");
    server.AddFile(d1 + L"Chipset Device/Win7/9.1/Chipset.zip");
    server.AddFile(d1 + L"Audio Driver/Vista/1.0/audio.zip");     // no Win7 folder
    server.AddFile(d1 + L"Touchside/Win7/2.0/t.zip");             // never on Windows 7
    server.AddFile(d1 + L"Graphic Driver/Win7/1.9/g.zip");
    server.AddFile(d1 + L"Graphic Driver/Win7/1.10/g.zip");
    server.AddFile(d1 + L"Graphic Driver/Win7/1.09/old.zip");
    server.AddFile(kDrivers + L"2/Audio Driver/Win7/2.0/a2.zip");
    server.AddFolder(kDrivers + L"3/Bluetooth Stack/Win7/3.0/only/sub");  // no files
    server.AddFolder(kDrivers + L"3/Empty Comp/Win7");                    // no versions
    server.AddFile(kDrivers + L"3/Empty Comp/XP/1.0/e.zip");
    server.AddFile(kDrivers + L"5/audio driver/XP/3.0/a5.exe");
    server.AddFile(kDrivers + L"9/Touch Pad/Win7/1.0/tp.zip");
    server.AddFile(kSetup + L"/marboDMB/1.0.3/dmb setup.exe");
    server.AddFile(kSetup + L"/marboDMB/1.0.4/Setup.exe");
    server.AddFile(kSetup + L"/marboDMB/1.0.4/dmbplayer.zip");
    server.AddFile(kSetup + L"/Graphic Driver/2.0/g.zip");

    InstalledTable installed;
    installed.versions = {{L"Chipset Device", L"9.1"}, {L"graphic driver", L"1.5"},
                          {L"Touch Pad", L"1.0"}, {L"marboDMB", L"1.0.3"}};
    ComponentList list;
    list.Put({L"stale row", L"-", L"1", true, std::make_unique<PackageList>()});
    const DeviceProfile profile = SampleDevice();
    EXPECT_EQ(SearchOutcome::kFound,
              WalkCatalogue(server, installed, CataloguePathsFor(profile, 0x0412), profile.windowsName, list));

    EXPECT_EQ((Rows{
                  L"Chipset Device|9.1|9.1| |Drivers_1>Win7>Chipset.zip,Drivers_1>Win7>chipset.exe,"
                  L"Drivers_1>Win7>readme.txt,",
                  L"Empty Comp|-|1.0|x|Drivers_3>XP>e.zip,",
                  L"audio driver|-|3.0|x|Drivers_5>XP>a5.exe,",
                  L"Touch Pad|1.0|1.0| |Drivers_9>Win7>tp.zip,",
                  L"Graphic Driver|1.5|2.0|x|Setup>>g.zip,",
                  L"marboDMB|1.0.3|1.0.4|x|Setup>>dmbplayer.zip,Setup>>Setup.exe,",
              }),
              Describe(list));
    EXPECT_EQ(kSetup, list[5].packages->front().root);

    // The report folders come first, and Windows 7 never looks for Touchside.
    ASSERT_GE(server.log.size(), 2u);
    EXPECT_EQ(L"MKD /[MID]/[]", server.log[0]);
    EXPECT_EQ(L"MKD /[MID]/[]/(9HK4) (marbo K4) (EX) (0412)", server.log[1]);
    for (const std::wstring &line : server.log)
        EXPECT_EQ(std::wstring::npos, line.find(L"Touchside/")) << line;
    // Installed versions are read only for components that offer files.
    EXPECT_EQ(9u, installed.asked.size());
}

// The insertion sort starts from the server's order: with the non-transitive file
// order, the same names listed otherwise put the installer before the ZIP package.
TEST(CatalogueWalkTest, PackagesFollowTheServersListingOrder) {
    struct Listing {
        std::vector<std::wstring> served;
        const wchar_t *packages;
    } listings[] = {
        {{L"Patch.zip", L"Install.exe", L"Notes.txt"}, L"Patch.zip,Install.exe,Notes.txt,"},
        {{L"Install.exe", L"Notes.txt", L"Patch.zip"}, L"Install.exe,Notes.txt,Patch.zip,"},
        {{L"setup.exe", L"SETUP.EXE"}, L"SETUP.EXE,setup.exe,"},
    };
    for (const Listing &listing : listings) {
        TreeLister server;
        for (const std::wstring &name : listing.served)
            server.AddFile(kSetup + L"/Tool/1.0/" + name);
        InstalledTable installed;
        ComponentList list;
        ScanRoot(server, installed, kSetup, L"", list);
        ASSERT_EQ(1u, list.Size());
        std::wstring packages;
        for (const PackageEntry &p : *list[0].packages)
            packages += p.fileName + L",";
        EXPECT_EQ(listing.packages, packages);
    }
}

struct WindowsCase {
    const wchar_t *windowsName;
    const wchar_t *component;
    std::vector<std::wstring> windowsFolders;  // each holding version 1.0 with one file
    const wchar_t *offeredFrom;                // null: not offered
};

TEST(CatalogueWalkTest, WindowsFoldersFallBackFromWin7ToVistaToXPWithTheirExceptions) {
    const WindowsCase cases[] = {
        {L"Win7", L"Graphic Driver", {L"XP", L"Vista", L"Win7"}, L"Win7"},
        {L"Win7", L"Graphic Driver", {L"XP", L"Vista"}, L"Vista"},
        {L"Win7", L"Graphic Driver", {L"XP"}, L"XP"},
        {L"Win7", L"Graphic Driver", {}, nullptr},
        {L"Vista", L"Graphic Driver", {L"XP"}, L"XP"},
        {L"Vista", L"Graphic Driver", {L"Win7"}, nullptr},
        {L"XP", L"Graphic Driver", {L"Vista", L"Win7"}, nullptr},
        {L"XP", L"Graphic Driver", {L"XP"}, L"XP"},
        {L"Win7", L"Touchside", {L"Win7", L"Vista", L"XP"}, nullptr},
        {L"Win7", L"usb mass storage device", {L"Vista"}, nullptr},
        {L"Win7", L".NET Framework", {L"XP"}, nullptr},
        {L"Win7", L"USBC Client", {L"Win7"}, nullptr},
        {L"Win7", L"Cyberlink PowerDVD 8.0 SE", {L"Win7"}, nullptr},
        {L"Vista", L"Touchside", {L"Vista"}, L"Vista"},
        {L"XP", L".NET Framework", {L"XP"}, L"XP"},
        {L"Win7", L"HIDeGalaxTouch", {L"Win7"}, L"Win7"},
        {L"Win7", L"hidegalaxtouch", {L"Vista", L"XP"}, nullptr},
        {L"Vista", L"HIDeGalaxTouch", {L"Vista"}, nullptr},
        {L"XP", L"HIDeGalaxTouch", {L"XP"}, nullptr},
        {L"", L"Graphic Driver", {L"Win7"}, nullptr},  // no Windows name: nothing to try
    };
    for (const WindowsCase &c : cases) {
        TreeLister server;
        const std::wstring component = kDrivers + L"1/" + c.component;
        server.AddFolder(component);
        for (const std::wstring &folder : c.windowsFolders)
            server.AddFile(component + L"/" + folder + L"/1.0/package.zip");
        InstalledTable installed;
        ComponentList list;
        ScanRoot(server, installed, kDrivers + L"1", c.windowsName, list);
        const std::wstring label = std::wstring(c.windowsName) + L" " + c.component;
        if (!c.offeredFrom) {
            EXPECT_TRUE(list.Empty()) << label;
            continue;
        }
        ASSERT_EQ(1u, list.Size()) << label;
        EXPECT_EQ(c.offeredFrom, list[0].packages->front().windowsFolder) << label;
    }
}

TEST(CatalogueWalkTest, TheFirstWindowsFolderWithVersionsDecidesEvenWhenItsNewestHasNoFiles) {
    TreeLister server;
    const std::wstring component = kDrivers + L"1/Graphic Driver";
    server.AddFolder(component + L"/Win7/2.0/only-a-folder");
    server.AddFile(component + L"/Vista/1.0/g.zip");
    InstalledTable installed;
    ComponentList list;
    ScanRoot(server, installed, kDrivers + L"1", L"Win7", list);
    EXPECT_TRUE(list.Empty());

    // An empty Win7 folder does fall back.
    TreeLister fallback;
    fallback.AddFolder(component + L"/Win7");
    fallback.AddFile(component + L"/Vista/1.0/g.zip");
    ScanRoot(fallback, installed, kDrivers + L"1", L"Win7", list);
    ASSERT_EQ(1u, list.Size());
    EXPECT_EQ(L"Vista", list[0].packages->front().windowsFolder);
}

TEST(CatalogueWalkTest, ATreeWithNothingToOfferStillGetsItsReportFolders) {
    TreeLister server;
    server.AddFolder(kDrivers + L"1/Audio Driver/Win7/1.0");  // a version without files
    server.AddFolder(kSetup);
    InstalledTable installed;
    ComponentList list;
    const DeviceProfile profile = SampleDevice();
    EXPECT_EQ(SearchOutcome::kNothingFound,
              WalkCatalogue(server, installed, CataloguePathsFor(profile, 0x0409), profile.windowsName, list));
    EXPECT_TRUE(list.Empty());
    TextList folders;
    EXPECT_TRUE(server.ListFolders(folders, L"/[MID]/[]"));
    EXPECT_EQ(TextList{L"(9HK4) (marbo K4) (EX) (0409)"}, folders);
    // Creating a folder that exists fails; the walk does not mind.
    EXPECT_EQ(SearchOutcome::kNothingFound,
              WalkCatalogue(server, installed, CataloguePathsFor(profile, 0x0409), profile.windowsName, list));
}

}  // namespace
