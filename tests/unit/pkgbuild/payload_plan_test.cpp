#include <gtest/gtest.h>

#include "tests/unit/pkgbuild/temp_folder.h"
#include "tools/pkgbuild/payload_plan.h"

namespace {

struct Planned {
    Diagnostics diagnostics;
    PayloadPlan plan;
    std::vector<std::wstring> names;
};

Planned Plan(const TempFolder &folder, const std::string &text) {
    Planned p;
    PackageDescription d = ParseDescription(text, "pkg.txt", p.diagnostics);
    p.plan = PlanPayload(d, folder.Path(), p.diagnostics);
    for (const PlannedEntry &e : p.plan.entries) p.names.push_back(e.name);
    return p;
}

const char kHeader[] = "[General]\nTitle = Viewer\nInstallDir = {ProgramFiles}\\Viewer\n";

TEST(PayloadPlan, WritesEscapedLinesInPayloadOrder) {
    TempFolder t;
    t.Write("src/readme.txt", "read me");
    t.Write("src/tree/a.txt", "a");
    t.Write("src/tree/sub/b.txt", "bb");
    std::filesystem::create_directories(t / "src/tree/empty");
    Planned p = Plan(t, std::string(kHeader) +
                            "[Execute]\nAfterPath = {InstallDir}\\v.exe\nAfterParam = /s\n"
                            "AfterReboot = false\n"
                            "[Shortcut]\nFolder = {StartMenu}\\Viewer\nName = Viewer\n"
                            "Target = {InstallDir}\\v.exe\n"
                            "[Files]\nsrc/readme.txt = {InstallDir}\\doc\\en\nsrc/tree = {InstallDir}\\t\n"
                            "[Registry HKEY_LOCAL_MACHINE\\SOFTWARE\\P]\nBuild = REG_DWORD 12abc\n");
    ASSERT_TRUE(p.diagnostics.Empty()) << p.diagnostics.Text();
    std::vector<std::wstring> expected = {
        L"General/Title=Viewer",
        L"General/InstallDir={ProgramFiles}%5CViewer",
        L"Execute/AfterPath={InstallDir}%5Cv.exe",
        L"Execute/AfterParam=%2Fs",
        L"Uninstall.exe",
        L"File/Target={InstallDir}/doc/",
        L"File/Target={InstallDir}/doc/en/",
        L"File/Target={InstallDir}/doc/en/readme.txt",
        L"File/Target={InstallDir}/t/",
        L"File/Target={InstallDir}/t/a.txt",
        L"File/Target={InstallDir}/t/empty/",
        L"File/Target={InstallDir}/t/sub/",
        L"File/Target={InstallDir}/t/sub/b.txt",
        L"Registry/HKEY_LOCAL_MACHINE%5CSOFTWARE%5CP/Build/12abc/REG_DWORD",
        L"Shortcut/{StartMenu}%5CViewer/Viewer//{InstallDir}%5Cv.exe/",
    };
    EXPECT_EQ(p.names, expected);
    EXPECT_EQ(p.plan.fileBytes, 7u + 1u + 2u);
    // Script lines are stored as folder entries; files keep their names.
    EXPECT_EQ(p.plan.entries[0].storedName, "General/Title=Viewer/");
    EXPECT_EQ(p.plan.entries[7].storedName, "File/Target={InstallDir}/doc/en/readme.txt");
}

TEST(PayloadPlan, DriveTargetsAndOtherTokensNeedNoInstallDir) {
    TempFolder t;
    t.Write("x.dll", "x");
    Planned p = Plan(t, "[Package]\nUninstaller = no\n[Files]\nx.dll = {WinSysDir}\n"
                        "x.dll = C:\\Data\n");
    ASSERT_TRUE(p.diagnostics.Empty()) << p.diagnostics.Text();
    std::vector<std::wstring> expected = {L"File/Target={WinSysDir}/x.dll",
                                          L"File/Target=C%3A/Data/", L"File/Target=C%3A/Data/x.dll"};
    EXPECT_EQ(p.names, expected);
}

struct BadCase {
    std::string text;
    int line;
    const char *needle;
};

TEST(PayloadPlan, RefusesWhatTheSetupWizardWouldGetWrong) {
    TempFolder t;
    t.Write("a.txt", "a");
    t.Write("Uninstall.exe", "u");
    const std::string longName(240, 'n');
    t.Write(longName + ".txt", "long");
    const BadCase cases[] = {
        {"[Shortcut]\nFolder = C:\\Links\nName = x\nTarget = {InstallDir}\\a.txt\n", 1,
         "must begin with {StartMenu}, {Startup}, {DeskTop} or {QuickLaunch}"},
        {"[Files]\nmissing.txt = {InstallDir}\n", 2, "does not exist"},
        {"[Files]\na.txt = Program\\Viewer\n", 2, "must begin with {InstallDir}"},
        {"[Files]\na.txt = {InstallDir}\\..\\up\n", 2, "\"..\""},
        {"[Files]\na.txt = {InstallDir}\na.txt = {InstallDir}\\\n", 3, "a second time (first on line 5)"},
        {"[Files]\nUninstall.exe = {InstallDir}\n", 2, "where the uninstaller goes"},
        {"[Files]\n" + longName + ".txt = {InstallDir}\\deep\n", 2, "at most 259"},
        {"[General]\nVersion = 2.0\xED\x8C\x90\n", 2, "outside ASCII"},
        {"[General]\nVersion = 2.0/\n", 2, "must not end in \"/\""},
        {"[General]\nPrefix = a\\b\n", 2, "must not contain \"\\\""},
        {"[Execute]\nAfterParam = %2F\n", 2, "cannot be carried exactly"},
        {"[Execute]\nAfterReboot = later\n", 2, "TRUE or FALSE"},
        {"[Registry HKLM\\SOFTWARE]\nx = REG_SZ y\n", 2, "must begin with HKEY_CLASSES_ROOT"},
        {"[Registry HKEY_CURRENT_USER\\X]\n = REG_SZ y\n", 2, "the key is missing"},
        {"[Shortcut]\nFolder = {DeskTop}\nName = a\\b\nTarget = x\n", 1, "must not contain"},
    };
    for (const BadCase &c : cases) {
        std::string text = std::string(kHeader) + c.text;
        Planned p = Plan(t, text);
        ASSERT_FALSE(p.diagnostics.Empty()) << c.text;
        int line = c.line + 3;  // the header's three lines come first
        bool found = false;
        for (const Diagnostic &d : p.diagnostics.Items())
            if (d.Text().find(c.needle) != std::string::npos) {
                found = true;
                EXPECT_EQ(d.line, line) << d.Text();
                EXPECT_EQ(d.file, "pkg.txt");
            }
        EXPECT_TRUE(found) << c.text << "\n" << p.diagnostics.Text();
    }
}

TEST(PayloadPlan, TheUninstallerNeedsATitleAndAnInstallFolder) {
    TempFolder t;
    Planned p = Plan(t, "[General]\nVersion = 1\n");
    EXPECT_NE(p.diagnostics.Text().find("Title is needed"), std::string::npos);
    EXPECT_NE(p.diagnostics.Text().find("InstallDir is needed"), std::string::npos);
    Planned q = Plan(t, "[General]\nTitle = A: B\nInstallDir = {ProgramFiles}\\A\n");
    EXPECT_NE(q.diagnostics.Text().find("Title must not contain"), std::string::npos);
    Planned r = Plan(t, "[Package]\nUninstaller = no\n[General]\nVersion = 1\n");
    EXPECT_TRUE(r.diagnostics.Empty()) << r.diagnostics.Text();
}

}  // namespace

namespace {

TEST(PayloadPlan, TextsOutsideAsciiNeedTheTargetsCodePage) {
    TempFolder t;
    const std::string text = "[Package]\nUninstaller = no\n[General]\nTitle = \xEB\xA7\x88\xEB\xA5\xB4"
                             "\xEB\xB3\xB4 \xEB\xB7\xB0\xEC\x96\xB4\n";  // "마르보 뷰어"
    Diagnostics refused;
    PlanPayload(ParseDescription(text, "pkg.txt", refused), t.Path(), refused);
    EXPECT_NE(refused.Text().find("pkg.txt:4: \"General/Title="), std::string::npos) << refused.Text();
    EXPECT_NE(refused.Text().find("--codepage"), std::string::npos) << refused.Text();

    Diagnostics korean;
    PayloadPlan plan = PlanPayload(ParseDescription(text, "pkg.txt", korean), t.Path(), korean, 949);
    ASSERT_TRUE(korean.Empty()) << korean.Text();
    ASSERT_EQ(plan.entries.size(), 1u);
    EXPECT_EQ(plan.entries[0].storedName,
              "General/Title=\xB8\xB6\xB8\xA3\xBA\xB8 \xBA\xE4\xBE\xEE/");

    Diagnostics western;
    PlanPayload(ParseDescription(text, "pkg.txt", western), t.Path(), western, 1252);
    EXPECT_NE(western.Text().find("cannot be written in code page 1252"), std::string::npos)
        << western.Text();
}

}  // namespace
