#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>

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
