// The preview over trees on disk: the rows and reasons the walk gives each
// device, and the installed state read by the device's rules.
#include <gtest/gtest.h>

#include "common/text.h"
#include "tests/unit/catalog_tool/tree_on_disk.h"
#include "tools/catalog/device_state.h"
#include "tools/catalog/preview.h"
#include "updater/catalogue/local_folder_lister.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kK4 = "/[MID]/marbo K4/[common2]/Drivers_";
const std::string kK4Setup = "/[MID]/marbo K4/9HK4/Setup/";
const std::string kC2 = "/[CMPC]/marbo C2/[common2]/Drivers_";
const std::string kC2Setup = "/[CMPC]/marbo C2/0000/Setup/";

DeviceProfile Profile(const wchar_t *family, const wchar_t *model, const wchar_t *serial,
                      const wchar_t *windows) {
    DeviceProfile p;
    p.family = family;
    p.modelName = model;
    p.modelSuffix = L"EX";
    p.serial = serial;
    p.windowsName = windows;
    return p;
}

// "[x] name installed new: Drivers_n/F/V/file, ..." for each row.
Lines Rows(const PreviewReport &r) {
    Lines out;
    for (const ComponentRow &row : r.rows.Rows()) {
        std::wstring line = std::wstring(row.checked ? L"[x] " : L"[ ] ") + row.name + L" " +
                            row.installedVersion + L" " + row.newVersion + L":";
        for (const PackageEntry &e : *row.packages) {
            std::wstring path = PackagePath(e);
            line += L" " + path.substr(e.root.rfind(L'/') + 1);
        }
        out.push_back(NarrowUtf8(line));
    }
    return out;
}

Lines Reasons(const PreviewReport &r) {
    Lines out;
    for (const NotOffered &n : r.notOffered)
        out.push_back(NarrowUtf8(n.root.substr(n.root.rfind(L'/') + 1) + L"/" + n.component + L": " +
                                 n.reason));
    return out;
}

// One tree, several devices: MID and CMPC, Win7, Vista and XP, with and without
// a serial. The expectations follow the walk's rules by hand.
TEST(PreviewTest, EachDeviceIsOfferedWhatTheWalkGivesIt) {
    TreeOnDisk tree;
    tree.File(kK4 + "1/Audio Driver/Win7/2.0/audio.zip");
    tree.File(kK4 + "1/Audio Driver/XP/1.5/Setup.exe");
    tree.File(kK4 + "1/Chipset Device/Vista/9.1/inst.exe");
    tree.File(kK4 + "1/Chipset Device/Vista/9.1/Driver.zip");
    tree.File(kK4 + "1/Chipset Device/Vista/9.1/readme.txt");
    tree.File(kK4 + "1/Touchside/Win7/1.0/t.exe");
    tree.File(kK4 + "1/Touchside/XP/0.9/t.exe");
    tree.File(kK4 + "1/HIDeGalaxTouch/Vista/1.0/h.exe");
    tree.File(kK4 + "1/Graphic Driver/Win7/1.9/g.zip");
    tree.File(kK4 + "1/Graphic Driver/Win7/1.10/g.zip");
    tree.Folder(kK4 + "1/Touch Pad/Win7/3.0/only-a-folder");
    tree.File(kK4 + "1/Touch Pad/Win7/2.0/tp.zip");
    tree.File(kK4 + "1/BlueSoleil/Windows7/1.0/b.exe");
    tree.File(kK4 + "5/Audio Driver/Win7/2.1/audio5.zip");
    tree.File(kK4Setup + "marboDMB/1.0.4/Setup.exe");
    tree.File(kK4Setup + "marboDMB/1.0.4/dmbplayer.zip");
    tree.File("/[MID]/marbo K4/0000/Setup/marboMUSIC/2.0/m.exe");
    tree.File(kC2 + "2/Graphic Driver/XP/6.0/g.exe");
    tree.File(kC2Setup + "marboDMB/1.1/Setup.exe");

    struct Case {
        DeviceProfile profile;
        Lines rows, reasons;
    };
    const Case cases[] = {
        {Profile(L"MID", L"marbo K4", L"9HK40001", L"Win7"),
         {"[x] Chipset Device - 9.1: Drivers_1/Chipset Device/Vista/9.1/Driver.zip "
          "Drivers_1/Chipset Device/Vista/9.1/inst.exe Drivers_1/Chipset Device/Vista/9.1/readme.txt",
          "[x] Graphic Driver - 1.10: Drivers_1/Graphic Driver/Win7/1.10/g.zip",
          "[x] Audio Driver - 2.1: Drivers_5/Audio Driver/Win7/2.1/audio5.zip",
          "[x] marboDMB - 1.0.4: Setup/marboDMB/1.0.4/dmbplayer.zip Setup/marboDMB/1.0.4/Setup.exe"},
         {"Drivers_1/Audio Driver: replaced by \"Drivers_5\", a later root",
          "Drivers_1/BlueSoleil: no version folder in \"Win7\", \"Vista\", \"XP\" (its folders: "
          "\"Windows7\")",
          "Drivers_1/HIDeGalaxTouch: no version folder in \"Win7\" (its folders: \"Vista\")",
          "Drivers_1/Touch Pad: its newest version folder \"3.0\" holds no files (only folders: "
          "\"only-a-folder\")",
          "Drivers_1/Touchside: never offered on Windows 7"}},
        {Profile(L"MID", L"marbo K4", L"", L"XP"),
         {"[x] Audio Driver - 1.5: Drivers_1/Audio Driver/XP/1.5/Setup.exe",
          "[x] Touchside - 0.9: Drivers_1/Touchside/XP/0.9/t.exe",
          "[x] marboMUSIC - 2.0: Setup/marboMUSIC/2.0/m.exe"},
         {"Drivers_1/BlueSoleil: no version folder in \"XP\" (its folders: \"Windows7\")",
          "Drivers_1/Chipset Device: no version folder in \"XP\" (its folders: \"Vista\")",
          "Drivers_1/Graphic Driver: no version folder in \"XP\" (its folders: \"Win7\")",
          "Drivers_1/HIDeGalaxTouch: offered on Windows 7 only, from its \"Win7\" folder",
          "Drivers_1/Touch Pad: no version folder in \"XP\" (its folders: \"Win7\")",
          "Drivers_5/Audio Driver: no version folder in \"XP\" (its folders: \"Win7\")"}},
        {Profile(L"CMPC", L"marbo C2", L"", L"Vista"),
         {"[x] Graphic Driver - 6.0: Drivers_2/Graphic Driver/XP/6.0/g.exe",
          "[x] marboDMB - 1.1: Setup/marboDMB/1.1/Setup.exe"},
         {}},
    };
    LocalFolderLister lister(tree.Root());
    for (const Case &c : cases) {
        SCOPED_TRACE(NarrowUtf8(c.profile.family + L" " + c.profile.windowsName));
        DeviceState nothing(c.profile.family);
        const PreviewReport report = Preview(lister, nothing, c.profile, 0x0412);
        EXPECT_EQ(c.rows, Rows(report));
        EXPECT_EQ(c.reasons, Reasons(report));
    }

    // The reports name the report folders and which roots exist; the JSON form
    // carries the same rows.
    DeviceState nothing(L"MID");
    const PreviewReport k4 = Preview(lister, nothing, cases[0].profile, 0x0409);
    EXPECT_EQ(L"/[MID]/[]/(9HK4) (marbo K4) (EX) (0409)", k4.paths.deviceReportFolder);
    ASSERT_EQ(10u, k4.roots.size());
    EXPECT_TRUE(k4.roots[0].exists);
    EXPECT_FALSE(k4.roots[1].exists);
    EXPECT_EQ(1u, k4.roots[4].components);
    const std::string json = FormatPreviewJson(k4);
    EXPECT_NE(std::string::npos, json.find("\"name\": \"Graphic Driver\", \"installed\": \"-\", "
                                           "\"new\": \"1.10\", \"checked\": true"));
    EXPECT_NE(std::string::npos, json.find("(9HK4) (marbo K4) (EX) (0409)"));
    const std::string text = FormatPreviewText(k4);
    EXPECT_NE(std::string::npos,
              text.find("[x] marboDMB  installed -, new 1.0.4\n"
                        "        /[MID]/marbo K4/9HK4/Setup/marboDMB/1.0.4/dmbplayer.zip\n"));
}

// Installed versions come from a registry export by the device's own rules, or
// from a plain list; maker components on a MID need their program file.
TEST(PreviewTest, InstalledStateFollowsTheDevicesRules) {
    const std::wstring reg =
        L"Windows Registry Editor Version 5.00\r\n\r\n"
        L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni\\marboDMB]\r\n\"version\"=\"1.0.4\"\r\n\r\n"
        L"[HKEY_CURRENT_USER\\SOFTWARE\\Parvoni\\marboMUSIC]\r\n\"Version\"=\"2.0\"\r\n"
        L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni\\System Driver]\r\n\"version\"=\"3.0\"\r\n"
        L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SynTPDeinstKey]\r\n"
        L"\"DisplayVersion\"=dword:00000002\r\n"
        L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
        L"{E3A5A8AB-58F6-45FF-AFCB-C9AE18C05001}]\r\n\"DisplayVersion\"=\"6.0.1\"\r\n"
        L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\.NETFramework\\v3.0\\Setup]\r\n"
        L"\"InstallSuccess\"=dword:00000001\r\n"
        L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Intel\\Infinst]\r\n\"bin\"=hex:01,02,\\\r\n  03\r\n"
        L"\"version\"=\"9.1 \\\"a\\\\b\\\"\"\r\n"
        L"[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Intel\\LPCO]\r\n\"version\"=\"1\"\r\n";
    DeviceState mid(L"MID");
    mid.LoadInstalled(reg);
    DeviceState cmpc(L"CMPC");
    cmpc.LoadInstalled(reg);
    struct Case {
        const wchar_t *component, *onMid, *onMidWithFiles, *onCmpc;
    };
    const Case cases[] = {
        {L"marbodmb", L"1.0.4", L"1.0.4", L"1.0.4"},       // its program file is listed
        {L"marboMUSIC", L"2.0", L"-", L"2.0"},             // HKCU; no TuneForge.exe
        {L"System Driver", L"3.0", L"3.0", L"3.0"},        // hwinterface.sys below Windows
        {L"Audio Driver", L"6.0.1", L"6.0.1", L"6.0.1"},   // the fallback key
        {L".NET Framework", L"3.0", L"3.0", L"3.0"},       // the key's name
        {L"Chipset Device", L"9.1 \"a\\b\"", L"9.1 \"a\\b\"", L"9.1 \"a\\b\""},
        {L"Graphic Driver", L"-", L"-", L"-"},             // a deleted key
        {L"Touch Pad", L"-", L"-", L"-"},                  // a number, not a text
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(NarrowUtf8(c.component));
        EXPECT_EQ(c.onMid, mid.InstalledVersion(c.component));
        EXPECT_EQ(c.onCmpc, cmpc.InstalledVersion(c.component));
    }
    // A file named like the program elsewhere does not count.
    mid.LoadProgramFiles(L"C:\\Program Files\\marboDMB\\dmbplayer.exe\n# a comment\nmarboX/x.exe\n"
                         L"TuneForge.exe\nsystem32/drivers/hwinterface.sys\n");
    for (const Case &c : cases) {
        SCOPED_TRACE(NarrowUtf8(c.component));
        EXPECT_EQ(c.onMidWithFiles, mid.InstalledVersion(c.component));
    }

    DeviceState list(L"MID");
    list.LoadInstalled(L"# versions\nmarboDMB = 1.0.3\nAudio Driver=\nTouch Pad=" +
                       std::wstring(130, L'1') + L"\n");
    EXPECT_EQ(L"1.0.3", list.InstalledVersion(L"MARBODMB"));
    EXPECT_EQ(L"-", list.InstalledVersion(L"Audio Driver"));
    EXPECT_EQ(L"-", list.InstalledVersion(L"Touch Pad"));  // longer than Tessel reads
    EXPECT_THROW(list.LoadInstalled(L"marboDMB 1.0.3\n"), std::runtime_error);
    EXPECT_THROW(mid.LoadInstalled(L"REGEDIT4\n\"version\"=\"1\"\n"), std::runtime_error);
    EXPECT_THROW(mid.LoadInstalled(L"REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"v\"=\"open\n"),
                 std::runtime_error);
}

}  // namespace
