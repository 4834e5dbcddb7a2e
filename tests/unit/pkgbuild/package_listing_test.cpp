#include <gtest/gtest.h>

#include "common/text.h"
#include "common/zip/file_stream.h"
#include "setup/archive/payload_writer.h"
#include "setup/script/setup_markers.h"
#include "tests/unit/pkgbuild/temp_folder.h"
#include "tools/pkgbuild/package_listing.h"
#include "tools/pkgbuild/package_writer.h"

namespace fs = std::filesystem;

namespace {

bool Has(const std::string &text, const std::string &needle) {
    return text.find(needle) != std::string::npos;
}

TEST(PackageListing, ShowsAnInstallerUnescaped) {
    TempFolder t;
    t.Write("setup.exe", "MZ program");
    t.Write("files/a b.txt", "12345");
    t.Write("package.txt",
            "[General]\nTitle = Viewer\nInstallDir = {ProgramFiles}\\Viewer\n"
            "[Files]\nfiles = {InstallDir}\\docs\n"
            "[Registry HKEY_CURRENT_USER\\Software\\X]\nGreeting = REG_SZ Hello: a/b\\c\n"
            "[Shortcut]\nFolder = {StartMenu}\\Viewer\nName = Guide\nTarget = {InstallDir}\\docs\\a b.txt\n"
            "Arguments = /s\nDescription = The guide\n");
    BuildOptions o;
    o.description = t / "package.txt";
    o.program = t / "setup.exe";
    o.output = t / "out.exe";
    o.absoluteOffsets = true;
    BuildPackage(o);
    std::string listing = ListPackage(t / "out.exe");
    EXPECT_TRUE(Has(listing, "mode: installer")) << listing;
    EXPECT_TRUE(Has(listing, "offsets: absolute in the file")) << listing;
    EXPECT_TRUE(Has(listing, "General  InstallDir = {ProgramFiles}\\Viewer")) << listing;
    EXPECT_TRUE(Has(listing, "Registry  HKEY_CURRENT_USER\\Software\\X  \"Greeting\" = REG_SZ "
                             "\"Hello: a/b\\c\"")) << listing;
    EXPECT_TRUE(Has(listing, "Shortcut  {StartMenu}\\Viewer\\Guide -> \"{InstallDir}\\docs\\a b.txt\" "
                             "/s  (The guide)")) << listing;
    EXPECT_TRUE(Has(listing, "5B\t{InstallDir}\\docs\\a b.txt")) << listing;
    EXPECT_TRUE(Has(listing, "<folder>\t{InstallDir}\\docs\\\n")) << listing;
    EXPECT_TRUE(Has(listing, "10B\tUninstall.exe")) << listing;
}

TEST(PackageListing, ShowsAnUninstallersRecord) {
    TempFolder t;
    fs::path file = t.Write("Uninstall.exe", "MZ program");
    {
        auto out = FileStream::Open(WidenUtf8(file.string()), FileStream::Mode::ReadWrite);
        ASSERT_TRUE(out);
        out->SeekToEnd();
        std::string marker = UninstallerMarker();
        ASSERT_TRUE(out->Write(marker.data(), marker.size()));
        PayloadWriter writer(*out);
        zip::ZipEntryMeta meta;
        // The lines as the install engine writes them: "\" separators, escaped values.
        for (const char *line : {"General\\Title=Viewer", "General\\InstallDir=C%3A%5CApps%5CViewer",
                                 "File\\{InstallDir}\\docs%2F", "File\\{InstallDir}\\docs%5Ca.txt",
                                 "File\\{InstallDir}\\Uninstall.exe",
                                 "Registry\\HKEY_CURRENT_USER%5CSoftware%5CX\\Greeting",
                                 "Shortcut\\{StartMenu}%5CViewer\\Guide"})
            writer.AddFolderEntry(line, meta);
        writer.Close();
    }
    std::string listing = ListPackage(file);
    EXPECT_TRUE(Has(listing, "mode: uninstaller")) << listing;
    EXPECT_TRUE(Has(listing, "record:\n  General  Title = Viewer\n")) << listing;
    EXPECT_TRUE(Has(listing, "General  InstallDir = C:\\Apps\\Viewer")) << listing;
    EXPECT_TRUE(Has(listing, "File  {InstallDir}\\docs/\n")) << listing;
    EXPECT_TRUE(Has(listing, "File  {InstallDir}\\docs\\a.txt\n")) << listing;
    EXPECT_TRUE(Has(listing, "Registry  HKEY_CURRENT_USER\\Software\\X  \"Greeting\"\n")) << listing;
    EXPECT_TRUE(Has(listing, "Shortcut  {StartMenu}\\Viewer\\Guide\n")) << listing;
    EXPECT_FALSE(Has(listing, "files:")) << listing;
}

TEST(PackageListing, ReadsNamesInTheCodePageTheyWereWrittenIn) {
    TempFolder t;
    t.Write("setup.exe", "MZ program");
    t.Write("package.txt", "[Package]\nUninstaller = no\n[General]\nTitle = \xEB\xB7\xB0\xEC\x96\xB4\n");
    BuildOptions o;
    o.description = t / "package.txt";
    o.program = t / "setup.exe";
    o.output = t / "out.exe";
    o.codePage = 949;
    BuildPackage(o);
    EXPECT_TRUE(Has(ListPackage(t / "out.exe", 949), "General  Title = \xEB\xB7\xB0\xEC\x96\xB4\n"));
    EXPECT_FALSE(Has(ListPackage(t / "out.exe"), "\xEB\xB7\xB0\xEC\x96\xB4"));
}

TEST(PackageListing, RefusesFilesWithoutAMarker) {
    TempFolder t;
    fs::path plain = t.Write("setup.exe", "MZ program " + UninstallerMarker());  // nothing after it
    try {
        ListPackage(plain);
        ADD_FAILURE();
    } catch (const BuildFailure &e) {
        EXPECT_TRUE(Has(e.what(), "not a setup package")) << e.what();
    }
}

}  // namespace
