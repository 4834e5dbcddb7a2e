// Hostile and ordinary names from a server listing through the one rule, and the
// folder a package may unpack into.
#include <gtest/gtest.h>

#include "common/text.h"
#include "updater/catalogue/listing_names.h"

namespace {

TEST(ListingNamesTest, HostileNamesAreRefusedAndOrdinaryOnesKept) {
    struct Name {
        std::wstring name;
        bool asFolder, asFile;  // usable as a folder name, as a file name
    } names[] = {
        {L"Audio Driver", true, true}, {L"1.2.E", true, true}, {L"Setup.exe", true, true},
        {L".hidden", true, true},  // package name ".hidden": a name
        {L".zip", true, true},     // a leading dot only: the whole name
        {L"a..zip", true, true},   // package "a."
        {L"\xC74C\xC545.zip", true, true},  // Korean letters
        {L"", false, false}, {L".", false, false}, {L"..", false, false}, {L"...", false, false},
        {L" ", false, false}, {L". .", false, false},
        {L"..zip", true, false},   // package "." unpacks over Program Files
        {L"...zip", true, false},  // package ".." climbs out of it
        {L" .zip", true, false},   // package " " is the folder itself
        {L". ..exe", true, false},
        {L"..\\Setup.exe", false, false}, {L"../Setup.exe", false, false}, {L"a/b", false, false},
        {L"C:Setup.exe", false, false}, {L"C:", false, false}, {L"a*b", false, false},
        {L"a?b", false, false}, {L"a\"b", false, false}, {L"a<b", false, false},
        {L"a>b", false, false}, {L"a|b", false, false}, {std::wstring(L"a\0b", 3), false, false},
        {L"a\tb", false, false}, {L"a\x1F", false, false}, {L"a\x7F", false, false},
    };
    for (const Name &n : names) {
        SCOPED_TRACE(NarrowUtf8(n.name));
        EXPECT_EQ(n.asFolder, IsUsableListingName(n.name, ListedAs::kFolder));
        EXPECT_EQ(n.asFile, IsUsableListingName(n.name, ListedAs::kFile));
        // Whatever a file name gives, its package folder stays one level below.
        if (n.asFile) {
            EXPECT_TRUE(IsPackageFolderIn(L"C:\\Program Files",
                                          L"C:\\Program Files\\" + ListedPackageName(n.name)));
        }
    }
}

TEST(ListingNamesTest, APackageFolderIsExactlyOneLevelBelowProgramFiles) {
    const std::wstring pf = L"C:\\Program Files";
    struct Folder {
        std::wstring programFiles, folder;
        bool below;
    } folders[] = {
        {pf, pf + L"\\Driver", true},  {pf, pf + L"\\Driver\\", true},
        {pf + L"\\", L"c:\\PROGRAM FILES\\Driver", true}, {pf, L"C:/Program Files//Driver", true},
        {pf, pf, false},  {pf, pf + L"\\", false}, {pf, pf + L"\\.", false},
        {pf, pf + L"\\..", false}, {pf, pf + L"\\. ", false}, {pf, pf + L"\\a\\b", false},
        {pf, pf + L"\\a\\..", false}, {pf, L"C:\\", false}, {pf, pf + L"\\C:x", false},
        {pf, L"C:\\Program Files (x86)\\Driver", false}, {pf, L"C:\\Program FilesDriver", false},
        {L"", L"\\Driver", false},
    };
    for (const Folder &f : folders)
        EXPECT_EQ(f.below, IsPackageFolderIn(f.programFiles, f.folder)) << NarrowUtf8(f.folder);
}

}  // namespace
