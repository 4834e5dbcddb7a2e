// The walk over a folder on disk gives what it gives over the server that serves
// that folder: the same listing order, no folder created.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "tests/unit/catalogue/catalogue_test_support.h"
#include "updater/catalogue/local_folder_lister.h"

namespace fs = std::filesystem;

namespace {

class LocalTree : public testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("catalogue-test-" + std::to_string(getpid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }

    void AddFile(const std::wstring &serverPath, size_t size = 1) {
        const fs::path path = root / NarrowUtf8(serverPath.substr(1));
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << std::string(size, 'x');
        paths.push_back(serverPath);
    }
    void AddFolder(const std::wstring &serverPath) {
        fs::create_directories(root / NarrowUtf8(serverPath.substr(1)));
        folders.push_back(serverPath);
    }

    // The same tree in memory, each folder listed as `order` arranges the paths.
    TreeLister InMemory(bool reverse) const {
        auto parts = [](const std::wstring &path) {
            std::vector<std::wstring> out;
            for (size_t start = 1, slash; start <= path.size(); start = slash + 1) {
                slash = path.find(L'/', start);
                if (slash == std::wstring::npos)
                    slash = path.size();
                out.push_back(path.substr(start, slash - start));
            }
            return out;
        };
        std::vector<std::pair<std::vector<std::wstring>, bool>> all;
        for (const auto &p : paths)
            all.push_back({parts(p), false});
        for (const auto &p : folders)
            all.push_back({parts(p), true});
        // wchar_t is a whole code point here: the sample server's order.
        std::sort(all.begin(), all.end());
        if (reverse)
            std::reverse(all.begin(), all.end());
        TreeLister tree;
        for (const auto &entry : all) {
            std::wstring path;
            for (const auto &part : entry.first)
                path += L"/" + part;
            if (entry.second)
                tree.AddFolder(path);
            else
                tree.AddFile(path);
        }
        return tree;
    }

    fs::path root;
    std::vector<std::wstring> paths, folders;
};

const std::wstring kRoot = L"/[MID]/marbo K4/[common2]/Drivers_1";

// Component folders "a.exe", "b.txt", "c.zip" compare in a circle, and so do
// the versions 9 < 10 < 1a < 9: only the listing order fixes the result.
TEST_F(LocalTree, WalkAgreesWithTheServerOrderWhereTheOrderingsAreNotTransitive) {
    for (const wchar_t *component : {L"c.zip", L"a.exe", L"b.txt"})
        AddFile(kRoot + L"/" + component + L"/Win7/1.0/f.zip");
    for (const wchar_t *version : {L"9", L"10", L"1a"})
        AddFile(kRoot + L"/Mixed/Win7/" + version + L"/setup " + version + L".exe");
    AddFile(kRoot + L"/Audio Driver/Win7/1.0/Setup.exe");
    AddFile(kRoot + L"/Audio Driver/Win7/1.0/Audio.zip", 1536);
    AddFile(kRoot + L"/Audio Driver/Win7/1.0/notes.txt");
    AddFolder(kRoot + L"/Audio Driver/Win7/1.0/extra");
    AddFolder(L"/[MID]/[]");

    InstalledTable installed;
    LocalFolderLister local(root);
    TreeLister sameOrder = InMemory(false), reverseOrder = InMemory(true);
    DeviceProfile profile;
    profile.family = L"MID";
    profile.modelName = L"marbo K4";
    profile.windowsName = L"Win7";
    const CataloguePaths paths = CataloguePathsFor(profile, 0x0412);
    ComponentList fromDisk, fromServer, fromReverse;
    ASSERT_EQ(SearchOutcome::kFound, WalkCatalogue(local, installed, paths, L"Win7", fromDisk));
    WalkCatalogue(sameOrder, installed, paths, L"Win7", fromServer);
    WalkCatalogue(reverseOrder, installed, paths, L"Win7", fromReverse);

    EXPECT_EQ((std::vector<std::wstring>{
                  L"Audio Driver|-|1.0|x|Drivers_1>Win7>Audio.zip,Drivers_1>Win7>Setup.exe,"
                  L"Drivers_1>Win7>notes.txt,",
                  L"Mixed|-|9|x|Drivers_1>Win7>setup 9.exe,",
                  L"a.exe|-|1.0|x|Drivers_1>Win7>f.zip,",
                  L"b.txt|-|1.0|x|Drivers_1>Win7>f.zip,",
                  L"c.zip|-|1.0|x|Drivers_1>Win7>f.zip,",
              }),
              Describe(fromDisk));
    EXPECT_EQ(Describe(fromServer), Describe(fromDisk));
    // Listed the other way round, the same tree offers other rows: the order matters.
    EXPECT_NE(Describe(fromReverse), Describe(fromDisk));

    // The report folders were asked for and not made.
    EXPECT_FALSE(fs::exists(root / "[MID]" / "[]" / "(0000) (marbo K4) () (0412)"));
    EXPECT_TRUE(fs::is_empty(root / "[MID]" / "[]"));
}

TEST_F(LocalTree, ListsLikeTheServerAndStaysInsideItsRoot) {
    AddFile(L"/top/b b.txt", 1536);
    AddFile(L"/top/A.zip", 0);
    AddFolder(L"/top/sub folder");
    AddFile(L"/top/a.zip", 2);
    AddFolder(L"/top/.hidden");
    AddFile(L"/top/..zip");     // refused: its package name is "."
    AddFolder(L"/top/. .");     // refused: dots and blanks only
    AddFile(L"/outside.txt");
    LocalFolderLister lister(root / "top");

    TextList folders{L"stale"};
    ASSERT_TRUE(lister.ListFolders(folders, L"/"));
    EXPECT_EQ((TextList{L".hidden", L"sub folder"}), folders);
    FileListing files{{L"stale", L"1"}};
    ASSERT_TRUE(lister.ListFiles(files, L"//"));
    std::wstring listed;
    for (const ListedFile &file : files)
        listed += file.name + L"=" + file.size + L",";
    EXPECT_EQ(L"A.zip=0,a.zip=2,b b.txt=1536,", listed);  // names differing in case stay apart
    ASSERT_EQ(2u, lister.Refused().size());  // each once, though listed twice
    EXPECT_EQ(L". .", lister.Refused()[0].name);
    EXPECT_EQ(L"..zip", lister.Refused()[1].name);
    EXPECT_EQ(L"/", lister.Refused()[1].folder);

    // ".." never leaves the root; "." and doubled separators are dropped.
    EXPECT_EQ(root / "top", lister.LocalPath(L"/../.."));
    EXPECT_EQ(root / "top" / "sub folder", lister.LocalPath(L"/./x/..//sub folder/"));
    ASSERT_TRUE(lister.ListFiles(files, L"/../.."));
    for (const ListedFile &file : files)
        EXPECT_NE(L"outside.txt", file.name);

    EXPECT_TRUE(lister.ListFolders(folders, L"/sub folder"));
    EXPECT_TRUE(folders.empty());
    EXPECT_FALSE(lister.ListFolders(folders, L"/missing"));
    EXPECT_FALSE(lister.ListFiles(files, L"/b b.txt"));  // a file is no folder
    EXPECT_TRUE(files.empty());

    EXPECT_FALSE(lister.CreateFolder(L"/made"));
    EXPECT_FALSE(fs::exists(root / "top" / "made"));
}

}  // namespace
