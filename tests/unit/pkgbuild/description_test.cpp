#include <gtest/gtest.h>

#include "tools/pkgbuild/package_description.h"

namespace {

PackageDescription Parse(const std::string &text, Diagnostics &d) {
    return ParseDescription(text, "pkg.txt", d);
}

TEST(Description, ReadsEverySectionKindInOrder) {
    Diagnostics d;
    PackageDescription p = Parse(
        "\xEF\xBB\xBF# comment\n[General]\r\ntitle = Viewer\nInstallDir = {ProgramFiles}\\Viewer\n"
        "; another comment\n[Execute]\nAfterPath = {InstallDir}\\v.exe\n"
        "[Package]\nUninstaller = no\n[Files]\nbin/v.exe = {InstallDir}\n"
        "[Registry HKEY_CURRENT_USER\\Software\\X]\nPath = reg_sz {InstallDir}\\a b\nEmpty = REG_SZ\n"
        "[Shortcut]\nFolder = {DeskTop}\nName = Viewer\nTarget = {InstallDir}\\v.exe\n",
        d);
    ASSERT_TRUE(d.Empty()) << d.Text();
    EXPECT_EQ(p.General(L"Title"), L"Viewer");  // key case folded to the canonical spelling
    EXPECT_EQ(p.LineOf(p.general, L"InstallDir"), 4);
    EXPECT_EQ(p.Execute(L"AfterPath"), L"{InstallDir}\\v.exe");
    EXPECT_FALSE(p.uninstaller);
    ASSERT_EQ(p.files.size(), 1u);
    EXPECT_EQ(p.files[0].source, L"bin/v.exe");
    EXPECT_EQ(p.files[0].line, 11);
    ASSERT_EQ(p.registry.size(), 2u);
    EXPECT_EQ(p.registry[0].keyPath, L"HKEY_CURRENT_USER\\Software\\X");
    EXPECT_EQ(p.registry[0].type, L"REG_SZ");
    EXPECT_EQ(p.registry[0].data, L"{InstallDir}\\a b");
    EXPECT_EQ(p.registry[1].data, L"");
    ASSERT_EQ(p.shortcuts.size(), 1u);
    EXPECT_EQ(p.shortcuts[0].target, L"{InstallDir}\\v.exe");
    EXPECT_EQ(p.shortcuts[0].line, 15);
}

struct BadCase {
    const char *text;
    int line;
    const char *needle;
};

TEST(Description, BadLinesAreReportedWithFileAndLine) {
    const BadCase cases[] = {
        {"[General]\nTitel = x\n", 2, "unknown key \"Titel\" in [General]"},
        {"[General]\nTitle = a\nTitle = b\n", 3, "given twice (first on line 2)"},
        {"[Extras]\n", 1, "unknown section [Extras]"},
        {"[Registry HKEY_CURRENT_USER\\X]\nBlob = REG_BINARY 00ff\n", 2,
         "registry type REG_BINARY is not supported"},
        {"[Registry HKEY_CURRENT_USER\\X]\nNoType\n", 2, "needs a type"},
        {"[Registry]\n", 1, "needs the key path"},
        {"[General]\njust words\n", 2, "expected \"key = value\""},
        {"Title = early\n", 1, "before the first [section]"},
        {"[Shortcut]\nFolder = {DeskTop}\nName = x\n\n[General]\n", 1, "lacks Target"},
        {"[Shortcut]\nIcon = x.ico\n", 2, "unknown key \"Icon\" in [Shortcut]"},
        {"[Package]\nUninstaller = maybe\n", 2, "yes or no"},
        {"[Files\n", 1, "must end with \"]\""},
    };
    for (const BadCase &c : cases) {
        Diagnostics d;
        Parse(c.text, d);
        ASSERT_FALSE(d.Empty()) << c.text;
        EXPECT_EQ(d.Items()[0].line, c.line) << c.text;
        EXPECT_NE(d.Items()[0].Text().find(std::string("pkg.txt:") + std::to_string(c.line) + ": "),
                  std::string::npos);
        EXPECT_NE(d.Text().find(c.needle), std::string::npos) << d.Text();
    }
}

}  // namespace
