// Packages built by the builder, read back the way the setup wizard reads them:
// the marker search, the payload archive reader and the start-up settings.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <map>

#include "common/text.h"
#include "common/zip/file_stream.h"
#include "setup/archive/payload_reader.h"
#include "setup/script/marker_search.h"
#include "setup/script/setup_markers.h"
#include "setup/script/setup_settings.h"
#include "setup/script/value_escaping.h"
#include "tests/unit/pkgbuild/temp_folder.h"
#include "tools/pkgbuild/package_writer.h"

namespace fs = std::filesystem;

namespace {

const char kDescription[] =
    "[General]\n"
    "Title = marbo Viewer\nPrefix = Lite\nName = ViewerWnd\nVersion = 2.1\nSuffix = K4\n"
    "InstallDir = {ProgramFiles}\\marbo Viewer\n"
    "[Execute]\nAfterPath = {InstallDir}\\viewer.exe\nAfterParam = /open \"C:\\x y\"\n"
    "AfterReboot = TRUE\n"
    "[Files]\nfiles = {InstallDir}\nextra/tool.dll = {WinSysDir}\n"
    "[Registry HKEY_CURRENT_USER\\Software\\Parvoni\\Viewer]\n"
    "Path = REG_SZ {InstallDir}\\viewer.exe\nBuild = REG_DWORD 12abc\n"
    "[Shortcut]\nFolder = {DeskTop}\nName = Viewer\nTarget = {InstallDir}\\viewer.exe\n";

class PackageRoundTrip : public testing::Test {
protected:
    void SetUp() override {
        program_ = RandomBytes(150000, 7);
        program_[0] = 'M';
        program_[1] = 'Z';
        t_.Write("setup.exe", program_);
        t_.Write("pkg/package.txt", kDescription);
        sources_["{InstallDir}/viewer.exe"] = t_.Write("pkg/files/viewer.exe", RandomBytes(300000, 1));
        sources_["{InstallDir}/readme.txt"] =
            t_.Write("pkg/files/readme.txt", std::string(20000, 'r') + "\r\nend\r\n");
        sources_["{InstallDir}/empty.dat"] = t_.Write("pkg/files/empty.dat", "");
        sources_["{InstallDir}/data/bundle.zip"] =
            t_.Write("pkg/files/data/bundle.zip", RandomBytes(5000, 3));
        fs::create_directories(t_ / "pkg/files/data/cache");
        sources_["{WinSysDir}/tool.dll"] = t_.Write("pkg/extra/tool.dll", RandomBytes(999, 4));
    }

    BuildResult Build(bool absolute, const fs::path &output) {
        BuildOptions o;
        o.description = t_ / "pkg/package.txt";
        o.program = t_ / "setup.exe";
        o.output = output;
        o.absoluteOffsets = absolute;
        return BuildPackage(o);
    }

    void CheckPackage(const fs::path &package) {
        std::string bytes = ReadAll(package);
        ASSERT_EQ(bytes.compare(0, program_.size(), program_), 0) << "program image changed";
        EXPECT_EQ(bytes.compare(program_.size(), 40, InstallerMarker()), 0);
        EXPECT_EQ(FindPayloadMarker(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size(),
                                    InstallerMarker()),
                  int64_t(program_.size()));
        EXPECT_EQ(FindPayloadMarker(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size(),
                                    UninstallerMarker()),
                  -1);

        auto reader = std::unique_ptr<PayloadReader>(
            new PayloadReader(FileStream::Open(WidenUtf8(package.string()), FileStream::Mode::Read)));
        SetupSettings s;
        s.ProgramFilesDir = L"C:\\Program Files";
        s.WindowsDir = L"C:\\windows";
        s.SystemDir = L"C:\\windows\\system32";
        SetupScriptReader script(s);
        double sizes = 0;
        size_t filesSeen = 0, folders = 0;
        std::vector<std::wstring> lines;
        for (int i = 0; i < reader->Count(); ++i) {
            const PayloadEntryInfo e = reader->Entry(i);
            script.AddEntry(e.name, e.uncompressedSize);
            sizes += e.uncompressedSize;
            EXPECT_EQ(e.attributes & file_attribute::kReadOnly, 0u) << NarrowUtf8(e.name);
            std::string name = NarrowUtf8(e.name);
            if (name == "Uninstall.exe" || name.rfind("File/Target=", 0) == 0) {
                if (e.attributes & file_attribute::kDirectory) {
                    ++folders;
                    continue;
                }
                VectorStream out;
                ASSERT_EQ(reader->Extract(i, out, {}, {}), zip::ChunkOutcome::Finished) << name;
                std::string got(out.Bytes().begin(), out.Bytes().end());
                std::string want = name == "Uninstall.exe"
                                       ? program_
                                       : ReadAll(sources_.at(name.substr(12)));
                EXPECT_TRUE(got == want) << name;
                ++filesSeen;
            } else {
                EXPECT_TRUE(e.attributes & file_attribute::kDirectory) << name;
                lines.push_back(e.name);
            }
        }
        script.Finish();
        EXPECT_EQ(filesSeen, sources_.size() + 1);
        EXPECT_EQ(folders, 2u);  // data/ and data/cache/
        EXPECT_EQ(s.Title, L"marbo Viewer");
        EXPECT_EQ(s.Prefix, L"Lite");
        EXPECT_EQ(s.Name, L"ViewerWnd");
        EXPECT_EQ(s.Version, L"2.1");
        EXPECT_EQ(s.Suffix, L"K4");
        EXPECT_EQ(s.InstallDir, L"C:\\Program Files\\marbo Viewer");
        EXPECT_EQ(s.InstallFolderName, L"marbo Viewer");
        EXPECT_EQ(s.HasFiles, L"TRUE");
        EXPECT_EQ(s.AfterReboot, L"TRUE");
        EXPECT_EQ(ProductCaption(s), L"marbo Viewer - Lite 2.1");
        EXPECT_DOUBLE_EQ(s.RequiredBytes, sizes);
        // Values that are unescaped when used come back as the packager wrote them.
        EXPECT_EQ(UnescapeValue(ExpandFolderTokens(s.AfterPath, s.Folders())),
                  L"C:\\Program Files\\marbo Viewer\\viewer.exe");
        EXPECT_EQ(UnescapeValue(s.AfterParam), L"/open \"C:\\x y\"");
        std::vector<std::wstring> expectedLines = {
            L"General/Title=marbo Viewer/",
            L"General/Prefix=Lite/",
            L"General/Name=ViewerWnd/",
            L"General/Version=2.1/",
            L"General/Suffix=K4/",
            L"General/InstallDir={ProgramFiles}%5Cmarbo Viewer/",
            L"Execute/AfterPath={InstallDir}%5Cviewer.exe/",
            L"Execute/AfterParam=%2Fopen \"C%3A%5Cx y\"/",
            L"Execute/AfterReboot=TRUE/",
            L"Registry/HKEY_CURRENT_USER%5CSoftware%5CParvoni%5CViewer/Path/{InstallDir}%5Cviewer.exe/REG_SZ/",
            L"Registry/HKEY_CURRENT_USER%5CSoftware%5CParvoni%5CViewer/Build/12abc/REG_DWORD/",
            L"Shortcut/{DeskTop}/Viewer//{InstallDir}%5Cviewer.exe/",
        };
        EXPECT_EQ(lines, expectedLines);
    }

    TempFolder t_;
    std::string program_;
    std::map<std::string, fs::path> sources_;
};

TEST_F(PackageRoundTrip, RelativeOffsetsReadBackWhole) {
    fs::path out = t_ / "viewer-setup.exe";
    BuildResult r = Build(false, out);
    EXPECT_EQ(r.programBytes, program_.size());
    EXPECT_EQ(r.packageBytes, fs::file_size(out));
    CheckPackage(out);
}

TEST_F(PackageRoundTrip, AbsoluteOffsetsReadBackWhole) {
    fs::path out = t_ / "viewer-setup-abs.exe";
    Build(true, out);
    CheckPackage(out);
}

TEST_F(PackageRoundTrip, OtherZipReadersOpenBothLayouts) {
    for (bool absolute : {false, true}) {
        fs::path out = t_ / (absolute ? "abs.exe" : "rel.exe");
        Build(absolute, out);
        std::string q = "'" + out.string() + "'";
        EXPECT_EQ(std::system(("/usr/bin/python3 -m zipfile -t " + q + " >/dev/null 2>&1").c_str()), 0);
        // unzip warns about the program in front (status 1) but lists and tests the archive.
        int list = std::system(("unzip -l " + q + " >/dev/null 2>&1").c_str());
        EXPECT_TRUE(WIFEXITED(list) && WEXITSTATUS(list) <= 1) << list;
        int test = std::system(("unzip -tq " + q + " >/dev/null 2>&1").c_str());
        EXPECT_TRUE(WIFEXITED(test) && WEXITSTATUS(test) <= 1) << test;
    }
}

TEST_F(PackageRoundTrip, AFailedBuildLeavesNoOutputAndKeepsAnOlderPackage) {
    fs::path out = t_ / "viewer-setup.exe";
    Build(false, out);
    const std::string before = ReadAll(out);
    fs::remove(sources_["{WinSysDir}/tool.dll"]);
    try {
        Build(false, out);
        ADD_FAILURE() << "built without a source file";
    } catch (const BuildFailure &e) {
        EXPECT_NE(std::string(e.what()).find("package.txt:14: source"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadAll(out), before);
    EXPECT_FALSE(fs::exists(t_ / "viewer-setup.exe.partial"));
    fs::path fresh = t_ / "fresh.exe";
    EXPECT_THROW(Build(false, fresh), BuildFailure);
    EXPECT_FALSE(fs::exists(fresh));
}

TEST_F(PackageRoundTrip, APackageCannotServeAsTheSetupProgram) {
    fs::path out = t_ / "viewer-setup.exe";
    Build(false, out);
    fs::copy_file(out, t_ / "setup.exe", fs::copy_options::overwrite_existing);
    fs::path second = t_ / "second.exe";
    try {
        Build(false, second);
        ADD_FAILURE() << "a package was taken as the setup program";
    } catch (const BuildFailure &e) {
        EXPECT_NE(std::string(e.what()).find("already carries a setup marker"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(second));
    t_.Write("setup.exe", "not a program");
    EXPECT_NE(CheckSetupProgram(t_ / "setup.exe").find("no \"MZ\" header"), std::string::npos);
}

TEST_F(PackageRoundTrip, ProgressCountsEveryByteOnce) {
    BuildOptions o;
    o.description = t_ / "pkg/package.txt";
    o.program = t_ / "setup.exe";
    o.output = t_ / "p.exe";
    uint64_t last = 0, total = 0;
    bool monotonic = true;
    o.progress = [&](uint64_t done, uint64_t all, const std::wstring &) {
        monotonic = monotonic && done >= last;
        last = done;
        total = all;
    };
    BuildResult r = BuildPackage(o);
    EXPECT_TRUE(monotonic);
    EXPECT_EQ(last, total);
    EXPECT_EQ(total, 2 * r.programBytes + r.fileBytes);
}

}  // namespace
