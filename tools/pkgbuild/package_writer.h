#ifndef TOOLS_PKGBUILD_PACKAGE_WRITER_H
#define TOOLS_PKGBUILD_PACKAGE_WRITER_H

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "tools/pkgbuild/payload_plan.h"

struct BuildOptions {
    std::filesystem::path description;
    std::filesystem::path program;  // marboSetup.exe without any marker
    std::filesystem::path output;
    bool absoluteOffsets = false;   // offsets counted from the file's start
    int level = 6;                  // deflate level
    unsigned codePage = 0;          // of the entry names; 0: ASCII only
    unsigned jobs = 0;              // deflating threads; 0: one per core; 1: the serial writer
    // Called after each block with the bytes done and the bytes to do in all.
    std::function<void(uint64_t done, uint64_t total, const std::wstring &entry)> progress;
};

struct BuildResult {
    size_t entries = 0;
    uint64_t packageBytes = 0;
    uint64_t programBytes = 0;
    uint64_t fileBytes = 0;
};

// Reads and checks the description and the program, then writes the program
// image, the reversed installer marker and the payload archive. The package is
// written next to the output under a temporary name and renamed at the end, so
// a failed build leaves no output file (and an older package is kept).
// Throws BuildFailure with every problem found.
BuildResult BuildPackage(const BuildOptions &options);

// Why `program` cannot serve as the setup program (empty when it can).
std::string CheckSetupProgram(const std::filesystem::path &program);

#endif
