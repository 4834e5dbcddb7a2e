#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <sys/wait.h>

#include "common/zip/zip_directory.h"
#include "common/zip/zip_entry_reader.h"
#include "common/zip/zip_format.h"
#include "tests/unit/zip/zip_test_support.h"

// What the writer makes must open in the common ZIP tools too: packagers
// check their packages with them.

namespace {

struct CommandResult {
    int status;
    std::string output;
};

CommandResult RunCommand(const std::string &command) {
    CommandResult run{-1, std::string()};
    FILE *pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string WriteTemp(const std::vector<uint8_t> &bytes, const std::string &name) {
    std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::vector<TestEntry> Entries() {
    return {{"docs/", {}, true},
            {"docs/readme.txt", TextBytes(123456)},
            {"bin/data.bin", RandomBytes(300000)},
            {"bin/empty", {}},
            {"pack.gz", TextBytes(2000)}};
}

}  // namespace

TEST(OtherReaders, PythonZipfileAndUnzipTestTheWritersArchive) {
    std::string path = WriteTemp(BuildArchive(Entries()), "plain.zip");
    CommandResult python = RunCommand("/usr/bin/python3 -m zipfile -t '" + path + "'");
    EXPECT_EQ(python.status, 0) << python.output;
    CommandResult unzip = RunCommand("unzip -t '" + path + "'");
    EXPECT_EQ(unzip.status, 0) << unzip.output;
    EXPECT_NE(unzip.output.find("No errors detected"), std::string::npos) << unzip.output;
    CommandResult list = RunCommand("/usr/bin/python3 -m zipfile -l '" + path + "'");
    EXPECT_NE(list.output.find("docs/readme.txt"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("123456"), std::string::npos) << list.output;
}

TEST(OtherReaders, ArchiveBehindAProgramOpensWithEitherOffsetForm) {
    const std::vector<uint8_t> program = RandomBytes(50000, 5);
    for (bool absolute : {false, true}) {
        std::string path = WriteTemp(BuildArchive(Entries(), program, absolute),
                                     absolute ? "absolute.exe" : "relative.exe");
        CommandResult python = RunCommand("/usr/bin/python3 -m zipfile -t '" + path + "'");
        EXPECT_EQ(python.status, 0) << python.output;
        // unzip warns about the bytes in front (status 1) but must find no error.
        CommandResult unzip = RunCommand("unzip -t '" + path + "'");
        EXPECT_LE(unzip.status, 1) << unzip.output;
        EXPECT_NE(unzip.output.find("No errors detected"), std::string::npos) << unzip.output;
    }
}

namespace {

std::vector<uint8_t> ReadFileBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// name -> data of every file entry, read through the ZIP layer.
std::map<std::string, std::vector<uint8_t>> ReadEntries(const std::vector<uint8_t> &bytes) {
    std::map<std::string, std::vector<uint8_t>> files;
    MemoryReadStream stream(bytes.data(), bytes.size());
    zip::ZipDirectory dir(stream);
    for (size_t i = 0; i < dir.Count(); ++i) {
        zip::ZipEntry entry = dir.Entry(i);
        if (!entry.name.empty() && entry.name.back() == '/') continue;
        zip::ZipEntryReader reader(stream, dir, entry);
        std::vector<uint8_t> data, buffer(10000);
        for (size_t n; (n = reader.Read(buffer.data(), buffer.size())) > 0;)
            data.insert(data.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
        files[entry.name] = data;
    }
    return files;
}

}  // namespace

TEST(OtherWriters, ArchivesOfZipAndPythonReadBack) {
    const std::string folder = testing::TempDir() + "other-writers";
    RunCommand("rm -rf '" + folder + "' && mkdir -p '" + folder + "/tree/sub'");
    std::map<std::string, std::vector<uint8_t>> expected = {
        {"tree/a.txt", TextBytes(70000)}, {"tree/sub/b.bin", RandomBytes(30000)}, {"tree/sub/empty", {}}};
    for (const auto &file : expected) {
        std::ofstream(folder + "/" + file.first, std::ios::binary)
            .write(reinterpret_cast<const char *>(file.second.data()), static_cast<std::streamsize>(file.second.size()));
    }
    // Info-ZIP deflated and stored; Python writing to a stream it cannot seek,
    // which puts sizes and CRC into data descriptors after the data.
    const std::string commands[] = {
        "cd '" + folder + "' && zip -q -r -6 deflated.zip tree",
        "cd '" + folder + "' && zip -q -r -0 stored.zip tree",
        "cd '" + folder + "' && /usr/bin/python3 -c \"import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.stdout.buffer, 'w', zipfile.ZIP_DEFLATED)\n"
        "[z.write(p) for p in ('tree/a.txt', 'tree/sub/b.bin', 'tree/sub/empty')]\n"
        "z.close()\" | cat > streamed.zip",
    };
    for (const std::string &command : commands) {
        CommandResult made = RunCommand(command);
        ASSERT_EQ(made.status, 0) << command << made.output;
    }
    for (const char *name : {"deflated.zip", "stored.zip", "streamed.zip"}) {
        std::vector<uint8_t> bytes = ReadFileBytes(folder + "/" + name);
        ASSERT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(ReadEntries(bytes), expected) << name;
    }
    std::vector<uint8_t> streamed = ReadFileBytes(folder + "/streamed.zip");
    EXPECT_TRUE(zip::ReadLe16(&streamed[6]) & zip::kFlagDataDescriptor);
}
