// Every lint finding on one generated tree, and none on a sound one.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/text.h"
#include "tests/unit/catalog_tool/packages.h"
#include "tests/unit/catalog_tool/tree_on_disk.h"
#include "tools/catalog/lint.h"
#include "tools/catalog/package_check.h"

namespace {

const std::string kD = "/[MID]/marbo K4/[common2]/Drivers_";
const std::string kSetup = "/[MID]/marbo K4/9HK4/Setup/";
const std::string kSelf = "/Korea/PC/TesselMIDSetup/";

std::vector<std::string> Lines(const std::vector<LintFinding> &findings) {
    std::vector<std::string> lines;
    for (const LintFinding &f : findings)
        lines.push_back(std::string(f.error ? "E " : "W ") + NarrowUtf8(f.path) + ": " +
                        NarrowUtf8(f.message.substr(0, f.message.find(L':'))));
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

void WriteSoundTree(const TreeOnDisk &tree) {
    tree.File(kD + "1/Graphic_Driver/Win7/1.0/g.zip", ZipBytes({{"bin/g.sys", "driver"}}));
    tree.File(kD + "1/Graphic_Driver/XP/0.9/Setup.exe");
    tree.File(kD + "2/Touchside/XP/1.0/t.exe");
    tree.File(kD + "2/HIDeGalaxTouch/Win7/1.0/h.exe");
    tree.File(kSetup + "marboDMB/1.0.3/Setup.exe");
    tree.Folder(kSetup + "marboDMB/1.0.2");  // an older empty version: a warning
    tree.File(kSelf + "1.2.F/TesselMIDSetup 1.2.F.exe", SetupPackageBytes());
    tree.Folder("/[MID]/[]/(9HK4) (marbo K4) (EX) (0412)");
}

TEST(LintTest, ASoundTreeHasNoErrors) {
    TreeOnDisk tree;
    WriteSoundTree(tree);
    EXPECT_EQ((std::vector<std::string>{"W /[MID]/marbo K4/9HK4/Setup/marboDMB/1.0.2: an older "
                                        "version folder holds no files"}),
              Lines(LintTree(tree.Root())));
}

TEST(LintTest, EveryFindingOnOneTree) {
    TreeOnDisk tree;
    WriteSoundTree(tree);
    tree.File(kD + "1/Audio Driver/Win7/1.0/a.zip", ZipBytes({{"a.inf", "x"}}));
    tree.File(kD + "3/Audio Driver/Win7/2.0/a.zip", ZipBytes({{"a.inf", "y"}}));  // replaces Drivers_1
    tree.File(kD + "1/Chipset/win7/1.0/c.exe");
    tree.File(kD + "1/Chipset/Windows7/1.0/c.exe");
    tree.File(kD + "1/Touchside/Win7/1.0/t.exe");
    tree.File(kD + "1/HIDeGalaxTouch/XP/1.0/h.exe");
    tree.Folder(kD + "1/Empty/Win7");
    tree.File(kD + "1/Deep/Vista/1.0/f.exe");
    tree.Folder(kD + "1/Deep/Vista/2.0/sub");
    tree.File(kD + "1/Bad/XP/1.0/notzip.zip", "not a zip at all");
    tree.File(kD + "1/Bad/XP/1.0/crc.zip", ZipWithBadCrc());
    tree.File(kD + "1/Bad/XP/1.0/escape.zip", ZipBytes({{"../../outside.txt", "x"}}));
    tree.File(kD + "1/Bad/XP/1.0/my setup.exe");
    tree.File(kD + "1/Bad/XP/1.0/..zip", ZipBytes({{"a.txt", "x"}}));
    tree.File(kSetup + "Tool/1.0/t.exe");
    tree.File(kSetup + "Tool/..  ./t.exe");
    tree.File(kD + "10/X/XP/1.0/x.exe");
    tree.File(kSetup + "Tool/1 0/t.exe");
    tree.File("/[MID]/marbo K4/9HK40/Setup/Tool/1.0/t.exe");
    tree.File("/[MID]/marbo K4/AAAA/readme.txt");
    tree.File("/[Mid]/marbo K4/9HK4/Setup/Tool/1.0/t.exe");
    tree.Folder(kSelf + "9.9.9");
    tree.File(kSelf + "1.3/TesselMIDSetup 1.3.exe", "MZ plain program, no marker");
    tree.File(kSelf + "1.4/TesselMIDSetup 1.4.exe", SetupPackageBytes(UninstallerMarker()));
    tree.File(kSelf + "1.5/tesselmidsetup 1.5.exe", SetupPackageBytes());
    tree.File("/Korea/PC/TesselCMPCSetup/2.0/TesselCMPCSetup 2.0.exe",
              SetupPackageBytes().substr(0, 200));

    const std::string d1 = "/[MID]/marbo K4/[common2]/Drivers_1/";
    EXPECT_EQ(Sorted({
                  "E " + d1 + "Bad/XP/1.0/crc.zip: the ZIP package does not read back",
                  "E " + d1 + "Bad/XP/1.0/escape.zip: the ZIP package entry \"../../outside.txt\"",
                  "E " + d1 + "Bad/XP/1.0/notzip.zip: the ZIP package does not read back",
                  "E " + d1 + "Bad/XP/1.0/..zip: no device lists this name (its package name is "
                              "made only of dots and blanks)",
                  "E " + kSetup + "Tool/..  .: no device lists this name (made only of dots and "
                                  "blanks)",
                  "E " + d1 + "Chipset/Windows7: not a Windows folder",
                  "E " + d1 + "Chipset/win7: not a Windows folder",
                  "E " + d1 + "Deep/Vista/2.0: the newest version folder holds only folders",
                  "E " + d1 + "HIDeGalaxTouch/XP: \"HIDeGalaxTouch\" is offered from its \"Win7\" "
                              "folder only",
                  "E " + d1 + "Touchside/Win7: \"Touchside\" is never offered on Windows 7",
                  "E /Korea/PC/TesselCMPCSetup/2.0/TesselCMPCSetup 2.0.exe: the archive after the "
                  "setup marker does not read back",
                  "E /Korea/PC/TesselMIDSetup/1.3/TesselMIDSetup 1.3.exe: not a setup package of "
                  "marboSetup",
                  "E /Korea/PC/TesselMIDSetup/1.4/TesselMIDSetup 1.4.exe: not a setup package",
                  "E /Korea/PC/TesselMIDSetup/1.5: a self-update version folder without its setup "
                  "file \"TesselMIDSetup 1.5.exe\"",
                  "E /Korea/PC/TesselMIDSetup/9.9.9: a self-update version folder without its setup "
                  "file \"TesselMIDSetup 9.9.9.exe\"",
                  "E /[MID]/marbo K4/9HK40: no device has this board folder",
                  "E /[MID]/marbo K4/[common2]/Drivers_10: not a driver root",
                  "E /[Mid]: not a device family",
                  "W " + d1 + "Audio Driver: reaches no device",
                  "W " + d1 + "Audio Driver: the name has a blank",
                  "W " + d1 + "Bad/XP/1.0/my setup.exe: the name has a blank",
                  "W " + d1 + "Empty/Win7: no version folder",
                  "W /[MID]/marbo K4/9HK4/Setup/Tool/1 0: the name has a blank",
                  "W /[MID]/marbo K4/9HK4/Setup/marboDMB/1.0.2: an older version folder holds no files",
                  "W /[MID]/marbo K4/AAAA: a board folder without \"Setup\"",
                  "W /[MID]/marbo K4/[common2]/Drivers_3/Audio Driver: the name has a blank",
              }),
              Lines(LintTree(tree.Root())));
    const std::string text = FormatLintText(LintTree(tree.Root()));
    EXPECT_EQ(0u, text.find("error: "));
    EXPECT_NE(std::string::npos, text.find("\n18 error(s), 8 warning(s)\n"));
}

}  // namespace
