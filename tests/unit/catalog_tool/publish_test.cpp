// Publishing into a tree: what lands where, and every refusal leaving the tree
// exactly as it was.
#include <gtest/gtest.h>

#include <set>

#include "common/text.h"
#include "tests/unit/catalog_tool/packages.h"
#include "tests/unit/catalog_tool/tree_on_disk.h"
#include "tools/catalog/device_state.h"
#include "tools/catalog/lint.h"
#include "tools/catalog/preview.h"
#include "tools/catalog/publish.h"
#include "updater/catalogue/local_folder_lister.h"

namespace fs = std::filesystem;

namespace {

// Every path below the tree with its size (-1 for folders).
std::set<std::pair<std::string, long long>> Snapshot(const fs::path &root) {
    std::set<std::pair<std::string, long long>> entries;
    for (const auto &entry : fs::recursive_directory_iterator(root))
        entries.insert({fs::relative(entry.path(), root).string(),
                        entry.is_directory() ? -1 : static_cast<long long>(entry.file_size())});
    return entries;
}

PublishRequest Drivers(const std::wstring &component, const std::wstring &version,
                       std::vector<fs::path> files) {
    PublishRequest r;
    r.target = PublishRequest::Target::DriverRoot;
    r.family = L"MID";
    r.model = L"marbo K4";
    r.driverRoot = 2;
    r.windowsFolder = L"Win7";
    r.component = component;
    r.version = version;
    r.files = std::move(files);
    return r;
}

TEST(PublishTest, VersionsLandWhereDevicesLookAndTheWalkOffersThem) {
    TreeOnDisk folder, in;
    const fs::path zip = in.File("/Audio.zip", ZipBytes({{"audio/a.inf", "inf"}}));
    const fs::path exe = in.File("/Setup.exe", "MZ");
    const fs::path tree = folder.Root() / "new tree";  // the first publish makes it
    Publish(tree, Drivers(L"Audio Driver", L"1.9", {exe}));
    const PublishResult newer = Publish(tree, Drivers(L"Audio Driver", L"1.10", {zip, exe}));
    EXPECT_EQ(L"/[MID]/marbo K4/[common2]/Drivers_2/Audio Driver/Win7/1.10", newer.versionFolder);

    PublishRequest setup = Drivers(L"marboDMB", L"1.0.4", {exe});
    setup.target = PublishRequest::Target::SetupRoot;
    setup.board = L"9HK4";
    Publish(tree, setup);

    PublishRequest self;
    self.target = PublishRequest::Target::SelfUpdate;
    self.family = L"MID";
    self.files = {in.File("/TesselMIDSetup 1.2.F.exe", SetupPackageBytes())};
    EXPECT_EQ(L"/Korea/PC/TesselMIDSetup/1.2.F", Publish(tree, self).versionFolder);
    self.files = {in.File("/release.exe", SetupPackageBytes())};
    self.version = L"1.2.G";
    EXPECT_EQ(std::vector<std::wstring>{L"/Korea/PC/TesselMIDSetup/1.2.G/TesselMIDSetup 1.2.G.exe"},
              Publish(tree, self).files);

    // Only the published folders are there: no staging folder is left.
    TextList top;
    LocalFolderLister lister(tree);
    lister.ListFolders(top, L"/");
    EXPECT_EQ((TextList{L"Korea", L"[MID]"}), top);

    DeviceProfile k4;
    k4.family = L"MID";
    k4.modelName = L"marbo K4";
    k4.serial = L"9HK40001";
    k4.windowsName = L"Win7";
    DeviceState nothing(L"MID");
    const PreviewReport report = Preview(lister, nothing, k4, 0x0412);
    ASSERT_EQ(2u, report.rows.Size());
    EXPECT_EQ(L"1.10", report.rows[0].newVersion);
    EXPECT_EQ(2u, report.rows[0].packages->size());
    EXPECT_EQ(L"marboDMB", report.rows[1].name);
    for (const LintFinding &f : LintTree(tree)) EXPECT_FALSE(f.error) << NarrowUtf8(f.message);
}

TEST(PublishTest, EveryRefusalLeavesTheTreeUnchanged) {
    TreeOnDisk tree, in;
    const fs::path exe = in.File("/Setup.exe", "MZ");
    const fs::path blank = in.File("/my setup.exe", "MZ");
    const fs::path badZip = in.File("/bad.zip", ZipWithBadCrc());
    const fs::path escaping = in.File("/escape.zip", ZipBytes({{"..\\system.ini", "x"}}));
    const fs::path same = in.File("/sub/SETUP.EXE", "MZ");
    const fs::path dots = in.File("/...zip", ZipBytes({{"a.txt", "x"}}));
    Publish(tree.Root(), Drivers(L"Audio Driver", L"2.0", {exe}));
    const fs::path setupPackage = in.File("/TesselMIDSetup 1.3.exe", SetupPackageBytes());

    PublishRequest self;
    self.target = PublishRequest::Target::SelfUpdate;
    self.family = L"MID";
    auto selfWith = [&](fs::path file, std::wstring version = L"") {
        PublishRequest r = self;
        r.files = {file};
        r.version = version;
        return r;
    };
    PublishRequest wrongWindows = Drivers(L"Touchside", L"1.0", {exe});
    PublishRequest hid = Drivers(L"HIDeGalaxTouch", L"1.0", {exe});
    hid.windowsFolder = L"XP";
    PublishRequest longBoard = Drivers(L"marboDMB", L"1.0", {exe});
    longBoard.target = PublishRequest::Target::SetupRoot;
    longBoard.board = L"9HK40";
    PublishRequest root10 = Drivers(L"X", L"1.0", {exe});
    root10.driverRoot = 10;

    struct Case {
        const char *what;
        PublishRequest request;
        const char *because;
    };
    const Case cases[] = {
        {"older", Drivers(L"Audio Driver", L"1.9", {exe}), "is older than \"2.0\""},
        {"same", Drivers(L"Audio Driver", L"2.0", {exe}), "already published"},
        {"equal by order", Drivers(L"Audio Driver", L"2.0.", {exe}), "already published"},
        {"bad zip", Drivers(L"Audio Driver", L"2.1", {exe, badZip}), "does not read back"},
        {"escaping zip", Drivers(L"Audio Driver", L"2.1", {escaping}), "would leave the folder"},
        {"no files", Drivers(L"Audio Driver", L"2.1", {}), "no file to publish"},
        {"missing file", Drivers(L"Audio Driver", L"2.1", {in.Root() / "none.zip"}), "not a file"},
        {"same name twice", Drivers(L"Audio Driver", L"2.1", {exe, same}), "a second file named"},
        {"blank in a file name", Drivers(L"Audio Driver", L"2.1", {blank}), "has a blank"},
        {"blank in a version", Drivers(L"Audio Driver", L"2.1 beta", {exe}), "has a blank"},
        {"separator in a version", Drivers(L"Audio Driver", L"../2.1", {exe}), "path separator"},
        {"dot version", Drivers(L"Audio Driver", L"..", {exe}), "only of dots and blanks"},
        {"package named \"..\"", Drivers(L"Audio Driver", L"2.1", {dots}), "package name is made"},
        {"never on Windows 7", wrongWindows, "never offered on Windows 7"},
        {"HIDeGalaxTouch", hid, "from its \"Win7\" folder only"},
        {"board", longBoard, "is longer"},
        {"driver root", root10, "numbered 1 to 9"},
        {"plain program", selfWith(exe, L"1.3"), "no installer marker"},
        {"uninstaller", selfWith(in.File("/u.exe", SetupPackageBytes(UninstallerMarker())), L"1.3"),
         "it is an uninstaller"},
        {"cut package", selfWith(in.File("/c.exe", SetupPackageBytes().substr(0, 90)), L"1.3"),
         "does not read back"},
        {"no version", selfWith(exe), "the version is not given"},
        {"name and version differ", selfWith(setupPackage, L"1.4"), "named for version \"1.3\""},
    };
    const auto before = Snapshot(tree.Root());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        try {
            Publish(tree.Root(), c.request);
            ADD_FAILURE() << "published";
        } catch (const PublishRefused &e) {
            EXPECT_NE(std::string::npos, std::string(e.what()).find(c.because)) << e.what();
        }
        EXPECT_EQ(before, Snapshot(tree.Root()));
    }

    // Forced: an older version and a blank in a name are published after all.
    PublishRequest older = Drivers(L"Audio Driver", L"1.9", {blank});
    older.force = true;
    EXPECT_NO_THROW(Publish(tree.Root(), older));
    EXPECT_TRUE(fs::exists(tree.Local("/[MID]/marbo K4/[common2]/Drivers_2/Audio Driver/Win7/1.9/"
                                      "my setup.exe")));
}

}  // namespace
