// The parallel builder against the serial one: the same entries, names, data
// and CRC-32s, read back by the setup wizard's reader, whatever the number of
// threads; and a source that goes away mid-build leaves no package.
#include <gtest/gtest.h>

#include "common/text.h"
#include "common/zip/file_stream.h"
#include "common/zip/zip_directory.h"
#include "setup/archive/payload_reader.h"
#include "tests/unit/pkgbuild/temp_folder.h"
#include "tools/pkgbuild/package_writer.h"

namespace fs = std::filesystem;

namespace {

struct Entry {
    std::string name;
    uint32_t crc;
    uint32_t size;
    std::string data;
    uint16_t method;
};

// Every entry as the wizard's reader sees it, and the method it was stored with.
std::vector<Entry> ReadBack(const fs::path &package) {
    PayloadReader reader(FileStream::Open(WidenUtf8(package.string()), FileStream::Mode::Read));
    auto file = FileStream::Open(WidenUtf8(package.string()), FileStream::Mode::Read);
    zip::ZipDirectory directory(*file);
    std::vector<Entry> entries;
    for (int i = 0; i < reader.Count(); ++i) {
        const PayloadEntryInfo info = reader.Entry(i);
        VectorStream out;
        EXPECT_EQ(zip::ChunkOutcome::Finished, reader.Extract(i, out, {}, {})) << NarrowUtf8(info.name);
        const zip::ZipEntry raw = directory.Entry(size_t(i));
        entries.push_back({NarrowUtf8(info.name), raw.header.crc32, info.uncompressedSize,
                           std::string(out.Bytes().begin(), out.Bytes().end()), raw.header.method});
    }
    return entries;
}

TEST(ParallelBuild, ContentsEqualTheSerialBuildForAnyNumberOfThreads) {
    TempFolder t;
    std::string program = RandomBytes(200000, 9);
    program[0] = 'M', program[1] = 'Z';
    t.Write("setup.exe", program);
    std::string text;
    for (int i = 0; text.size() < 3000000; ++i) text += "line " + std::to_string(i * 7919 % 100003) + " of text\r\n";
    t.Write("pkg/files/big.txt", text);                                         // many pieces
    t.Write("pkg/files/random.bin", RandomBytes(1500000, 2));                   // stored after the probe
    t.Write("pkg/files/mixed.bin", text.substr(0, 70000) + RandomBytes(600000, 3));  // deflate loses at the end
    t.Write("pkg/files/tiny random.bin", RandomBytes(300, 4));                  // one piece, stored
    t.Write("pkg/files/exact.txt", text.substr(0, 65536));                      // one probe, exactly
    t.Write("pkg/files/empty.dat", "");
    t.Write("pkg/files/inner.zip", text.substr(0, 90000));                      // never deflated
    for (int i = 0; i < 40; ++i)
        t.Write("pkg/files/many/f" + std::to_string(i) + ".txt", text.substr(size_t(i) * 1000, size_t(i) * 300));
    t.Write("pkg/package.txt",
            "[General]\nTitle = Parallel\nInstallDir = {ProgramFiles}\\Parallel\n"
            "[Files]\nfiles = {InstallDir}\n");

    std::vector<std::vector<Entry>> builds;
    for (unsigned jobs : {1u, 2u, 5u}) {
        BuildOptions o;
        o.description = t / "pkg/package.txt";
        o.program = t / "setup.exe";
        o.output = t / ("out" + std::to_string(jobs) + ".exe");
        o.jobs = jobs;
        BuildPackage(o);
        builds.push_back(ReadBack(o.output));
    }
    const std::vector<Entry> &serial = builds[0];
    ASSERT_GT(serial.size(), 45u);
    for (size_t b = 1; b < builds.size(); ++b) {
        ASSERT_EQ(serial.size(), builds[b].size());
        for (size_t i = 0; i < serial.size(); ++i) {
            SCOPED_TRACE(serial[i].name);
            EXPECT_EQ(serial[i].name, builds[b][i].name);
            EXPECT_EQ(serial[i].crc, builds[b][i].crc);
            EXPECT_EQ(serial[i].size, builds[b][i].size);
            EXPECT_TRUE(serial[i].data == builds[b][i].data);
            EXPECT_EQ(serial[i].method, builds[b][i].method);  // the same store decisions
        }
    }
    // The data is what the files hold: the big text through many pieces.
    bool sawBig = false;
    for (const Entry &e : builds[2]) {
        if (e.name.find("big.txt") != std::string::npos) {
            sawBig = true;
            EXPECT_TRUE(e.data == text);
            EXPECT_EQ(8, e.method);
        }
    }
    EXPECT_TRUE(sawBig);
}

TEST(ParallelBuild, ASourceCutShortFailsTheBuildAndLeavesNoPackage) {
    TempFolder t;
    std::string program = RandomBytes(1000, 9);
    program[0] = 'M', program[1] = 'Z';
    t.Write("setup.exe", program);
    t.Write("pkg/files/a.txt", std::string(3000000, 'a'));
    t.Write("pkg/package.txt", "[General]\nTitle = Cut\nInstallDir = {ProgramFiles}\\Cut\n"
                                   "[Files]\nfiles = {InstallDir}\n");
    BuildOptions o;
    o.description = t / "pkg/package.txt";
    o.program = t / "setup.exe";
    o.output = t / "out.exe";
    o.jobs = 2;
    // The file shrinks after the plan measured it.
    o.progress = [&](uint64_t, uint64_t, const std::wstring &) {
        fs::resize_file(t / "pkg/files/a.txt", 10);
    };
    try {
        BuildPackage(o);
        ADD_FAILURE() << "built";
    } catch (const std::exception &e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find("cut short")) << e.what();
    }
    EXPECT_FALSE(fs::exists(o.output));
    EXPECT_FALSE(fs::exists(t / "out.exe.partial"));
}

}  // namespace
