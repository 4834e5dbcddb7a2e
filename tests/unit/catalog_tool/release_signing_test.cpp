// Signing a server tree on disk: where the index lies (never in a folder a walk
// lists), that a walk over the index offers what the walk over the tree
// offers, what lint finds when tree and index part, and re-signing on publish.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "common/text.h"
#include "tests/unit/catalog_tool/packages.h"
#include "tests/unit/catalog_tool/tree_on_disk.h"
#include "tools/catalog/device_state.h"
#include "tools/catalog/recording_lister.h"
#include "tools/catalog/release_signing.h"
#include "updater/catalogue/catalogue_walk.h"
#include "updater/catalogue/local_folder_lister.h"
#include "updater/catalogue/release_index_lister.h"
#include "updater/shell/self_update_paths.h"

namespace fs = std::filesystem;

namespace {

std::string SourceFile(const std::string &relative) {
    std::ifstream in(std::string(TESSEL_TEST_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

RsaPrivateKey SampleKey() {
    RsaPrivateKey key;
    std::string error;
    EXPECT_TRUE(ParsePrivateKeyText(SourceFile("samples/release-key/sample-release.private-key"), key, error));
    return key;
}

const std::wstring kModelTree = L"/[MID]/marbo K4";
const std::wstring kSelfUpdateTree = L"/Korea/PC/TesselMIDSetup";

// A model tree with Windows fall-back, a setup root, names with blanks and in
// Korean, an empty newest version folder, and a self-update tree.
void MakeTree(const TreeOnDisk &tree) {
    const std::string drivers = "/[MID]/marbo K4/[common2]/Drivers_";
    tree.File(drivers + "1/Audio Driver/XP/1.0/audio.zip", "audio 1.0");
    tree.File(drivers + "1/Audio Driver/Vista/1.2/audio.zip", "audio 1.2");
    tree.File(drivers + "1/Audio Driver/Vista/1.2/audio setup.exe", "setup");
    tree.File(drivers + "2/그래픽/Win7/2.0/g.zip", "graphics");
    tree.Folder(drivers + "2/그래픽/Win7/2.1");
    tree.File(drivers + "3/Touchside/XP/1.9/ts.zip", "touch");
    tree.File("/[MID]/marbo K4/9HK4/Setup/marboDMB/1.0.4/dmbplayer.zip", "dmb");
    tree.File("/[MID]/[]/(9HK4) (marbo K4) () (0412)/note.txt", "report folder");
    tree.File("/Korea/PC/TesselMIDSetup/1.2.E/TesselMIDSetup 1.2.E.exe", "old");
    tree.File("/Korea/PC/TesselMIDSetup/1.2.F/TesselMIDSetup 1.2.F.exe", "new");
}

DeviceProfile K4(const wchar_t *windows) {
    DeviceProfile profile;
    profile.family = L"MID";
    profile.modelName = L"marbo K4";
    profile.serial = L"9HK40001";
    profile.windowsName = windows;
    return profile;
}

// The rows and packages a walk offers, as one text.
std::wstring Offer(FolderLister &lister, const DeviceProfile &profile) {
    DeviceState nothingInstalled(profile.family);
    ComponentList list;
    WalkCatalogue(lister, nothingInstalled, CataloguePathsFor(profile, 0x0412), profile.windowsName, list);
    std::wstring text;
    for (const ComponentRow &row : list.Rows()) {
        text += row.name + L" " + row.newVersion + (row.checked ? L" ticked:" : L":");
        for (const PackageEntry &p : *row.packages)
            text += L" " + p.root + L"/" + p.component + L"/" + p.windowsFolder + L"/" + p.version + L"/" + p.fileName;
        text += L"\n";
    }
    return text;
}

std::string ReadIndex(const TreeOnDisk &tree, const std::wstring &indexPath) {
    std::ifstream in(LocalFolderLister(tree.Root()).LocalPath(indexPath), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(ReleaseSigning, IndexLiesWhereNoWalkListsAndChangesNoOffer) {
    TreeOnDisk tree;
    MakeTree(tree);
    LocalFolderLister disk(tree.Root());
    const wchar_t *windowsNames[] = {L"Win7", L"Vista", L"XP"};
    std::map<std::wstring, std::wstring> before;
    for (const wchar_t *windows : windowsNames) before[windows] = Offer(disk, K4(windows));
    TextList versionsBefore, versionsAfter;
    const std::wstring selfUpdateFolder = SelfUpdateSetupFolder(L"Korea", L"MID");
    ASSERT_TRUE(disk.ListFolders(versionsBefore, selfUpdateFolder));

    const auto crypto = MakeSystemCrypto();
    const RsaPrivateKey key = SampleKey();
    EXPECT_EQ(FindReleaseTrees(tree.Root()), (std::vector<std::wstring>{kModelTree, kSelfUpdateTree}));
    for (const std::wstring &t : FindReleaseTrees(tree.Root())) SignReleaseTree(*crypto, key, tree.Root(), t);
    ASSERT_TRUE(fs::is_regular_file(tree.Local("/[MID]/marbo K4.tessel-index")));
    ASSERT_TRUE(fs::is_regular_file(tree.Local("/Korea/PC/TesselMIDSetup.tessel-index")));

    for (const wchar_t *windows : windowsNames) {
        SCOPED_TRACE(NarrowUtf8(windows));
        // The walk over the served tree, every folder it lists recorded: the
        // folders that hold an index are never among them.
        RecordingLister recorded(disk);
        EXPECT_EQ(Offer(recorded, K4(windows)), before[windows]);
        std::set<std::wstring> listed;
        for (const RecordingLister::Request &r : recorded.Requests())
            if (r.kind != RecordingLister::Request::Kind::Create) listed.insert(StripTrailing(r.path, L'/'));
        EXPECT_FALSE(listed.empty());
        EXPECT_EQ(listed.count(L"/[MID]"), 0u);
        EXPECT_EQ(listed.count(L"/Korea/PC"), 0u);

        // The same walk over the signed index offers exactly the same.
        ReleaseIndex index;
        ASSERT_EQ(VerifyReleaseIndex(*crypto, key.publicKey, ReadIndex(tree, ReleaseIndexPathOf(kModelTree)),
                                     kModelTree, std::nullopt, index),
                  IndexVerdict::kTrusted);
        ReleaseIndexLister fromIndex(index);
        EXPECT_EQ(Offer(fromIndex, K4(windows)), before[windows]);
    }
    // The self-update lists its one folder's sub-folders: the index beside it is none of them.
    ASSERT_TRUE(disk.ListFolders(versionsAfter, selfUpdateFolder));
    EXPECT_EQ(versionsAfter, versionsBefore);
    EXPECT_NE(StripTrailing(selfUpdateFolder, L'/'), L"/Korea/PC");
    // The index keeps empty folders: the empty newest version still hides its component.
    EXPECT_EQ(before[L"Win7"], L"Audio Driver 1.2 ticked: /[MID]/marbo K4/[common2]/Drivers_1/Audio Driver/Vista/1.2/"
                               L"audio.zip /[MID]/marbo K4/[common2]/Drivers_1/Audio Driver/Vista/1.2/audio setup.exe\n"
                               L"marboDMB 1.0.4 ticked: /[MID]/marbo K4/9HK4/Setup/marboDMB//1.0.4/dmbplayer.zip\n");
}

TEST(ReleaseSigning, LintFindsEveryWayTreeAndIndexPart) {
    const auto crypto = MakeSystemCrypto();
    const RsaPrivateKey key = SampleKey();
    RsaPublicKey otherKey;
    std::string error;
    ASSERT_TRUE(ParsePublicKeyText(SourceFile("tests/vectors/other.public-key"), otherKey, error));
    const struct {
        const char *what;
        void (*change)(const TreeOnDisk &);
        bool otherKey;
        std::vector<std::wstring> expected;  // paths of the errors
    } cases[] = {
        {"as signed", [](const TreeOnDisk &) {}, false, {}},
        {"a byte changed",
         [](const TreeOnDisk &t) {
             t.File("/[MID]/marbo K4/[common2]/Drivers_1/Audio Driver/XP/1.0/audio.zip", "audio 1.1");
         },
         false, {L"/[MID]/marbo K4/[common2]/Drivers_1/Audio Driver/XP/1.0/audio.zip"}},
        {"a byte added",
         [](const TreeOnDisk &t) {
             t.File("/[MID]/marbo K4/[common2]/Drivers_1/Audio Driver/XP/1.0/audio.zip", "audio 1.00");
         },
         false, {L"/[MID]/marbo K4/[common2]/Drivers_1/Audio Driver/XP/1.0/audio.zip"}},
        {"a file and a folder added",
         [](const TreeOnDisk &t) { t.File("/[MID]/marbo K4/9HK4/Setup/marboDMB/1.0.5/new.zip", "n"); }, false,
         {L"/[MID]/marbo K4/9HK4/Setup/marboDMB/1.0.5", L"/[MID]/marbo K4/9HK4/Setup/marboDMB/1.0.5/new.zip"}},
        {"a version removed",
         [](const TreeOnDisk &t) { fs::remove_all(t.Local("/Korea/PC/TesselMIDSetup/1.2.F")); }, false,
         {L"/Korea/PC/TesselMIDSetup/1.2.F", L"/Korea/PC/TesselMIDSetup/1.2.F/TesselMIDSetup 1.2.F.exe"}},
        {"another key", [](const TreeOnDisk &) {}, true,
         {L"/[MID]/marbo K4.tessel-index", L"/Korea/PC/TesselMIDSetup.tessel-index"}},
        {"another tree's index",
         [](const TreeOnDisk &t) {
             fs::copy_file(t.Local("/Korea/PC/TesselMIDSetup.tessel-index"),
                           t.Local("/[MID]/marbo K4.tessel-index"), fs::copy_options::overwrite_existing);
         },
         false, {}},  // checked below: it names another tree and none of this tree's files
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TreeOnDisk tree;
        MakeTree(tree);
        for (const std::wstring &t : FindReleaseTrees(tree.Root())) SignReleaseTree(*crypto, key, tree.Root(), t);
        c.change(tree);
        const std::vector<LintFinding> findings =
            LintReleaseIndexes(*crypto, c.otherKey ? &otherKey : &key.publicKey, tree.Root());
        std::vector<std::wstring> errors;
        for (const LintFinding &f : findings) {
            EXPECT_TRUE(f.error) << NarrowUtf8(f.path + L": " + f.message);
            errors.push_back(f.path);
        }
        if (std::string(c.what) == "another tree's index") {
            ASSERT_GT(errors.size(), 2u);
            EXPECT_EQ(errors[0], L"/[MID]/marbo K4.tessel-index");
            continue;
        }
        EXPECT_EQ(errors, c.expected);
    }
}

TEST(ReleaseSigning, PublishSignsTheChangedTreeWithAHigherSerial) {
    const auto crypto = MakeSystemCrypto();
    const RsaPrivateKey key = SampleKey();
    TreeOnDisk tree;
    MakeTree(tree);
    EXPECT_EQ(SignReleaseTree(*crypto, key, tree.Root(), kModelTree).serial, 1u);
    const std::string before = ReadIndex(tree, ReleaseIndexPathOf(kModelTree));

    PublishRequest request;
    request.target = PublishRequest::Target::SetupRoot;
    request.family = L"MID";
    request.model = L"marbo K4";
    request.board = L"9HK4";
    request.component = L"marboDMB";
    request.version = L"1.0.5";
    request.files = {tree.File("/incoming/dmbplayer.zip", ZipBytes({{"dmb.exe", "player"}}))};
    Publish(tree.Root(), request);
    ASSERT_EQ(PublishedTree(request), kModelTree);
    const ReleaseIndex signed2 = SignReleaseTree(*crypto, key, tree.Root(), PublishedTree(request));
    EXPECT_EQ(signed2.serial, 2u);
    ReleaseIndex index;
    ASSERT_EQ(VerifyReleaseIndex(*crypto, key.publicKey, ReadIndex(tree, ReleaseIndexPathOf(kModelTree)),
                                 kModelTree, 2, index),
              IndexVerdict::kTrusted);
    ReleaseIndexLister lister(index);
    const ReleaseIndexEntry *added = lister.FindFile(L"/[MID]/marbo K4/9HK4/Setup/marboDMB/1.0.5/dmbplayer.zip");
    ASSERT_NE(added, nullptr);
    Sha256Digest digest{};
    ASSERT_TRUE(Sha256Of(*crypto, ZipBytes({{"dmb.exe", "player"}}), digest));
    EXPECT_EQ(added->sha256, digest);
    EXPECT_TRUE(LintReleaseIndexes(*crypto, &key.publicKey, tree.Root()).size() == 1u);  // no self-update index

    // A serial that is not higher, and a link, are refused with the index as it was.
    const std::string now = ReadIndex(tree, ReleaseIndexPathOf(kModelTree));
    EXPECT_NE(now, before);
    EXPECT_THROW(SignReleaseTree(*crypto, key, tree.Root(), kModelTree, 2), std::runtime_error);
    fs::create_symlink(tree.Local("/incoming/dmbplayer.zip"),
                       tree.Local("/[MID]/marbo K4/9HK4/Setup/marboDMB/1.0.5/link.zip"));
    EXPECT_THROW(SignReleaseTree(*crypto, key, tree.Root(), kModelTree), std::runtime_error);
    EXPECT_EQ(ReadIndex(tree, ReleaseIndexPathOf(kModelTree)), now);
    EXPECT_EQ(SignReleaseTree(*crypto, key, tree.Root(), kSelfUpdateTree, 40).serial, 40u);
    // Nothing temporary is left beside the indexes.
    for (const auto &entry : fs::directory_iterator(tree.Local("/[MID]")))
        EXPECT_TRUE(entry.is_directory() || entry.path().extension() == ".tessel-index") << entry.path();
}

}  // namespace
