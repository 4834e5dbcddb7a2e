#ifndef TESTS_UNIT_ZIP_ZIP_TEST_SUPPORT_H
#define TESTS_UNIT_ZIP_ZIP_TEST_SUPPORT_H

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "common/zip/byte_stream.h"
#include "common/zip/zip_writer.h"

// Archives built in memory for the tests.

inline std::vector<uint8_t> TextBytes(size_t size) {
    std::string line = "The quick brown fox jumps over the lazy dog 0123456789.\n";
    std::vector<uint8_t> bytes;
    while (bytes.size() < size) bytes.insert(bytes.end(), line.begin(), line.end());
    bytes.resize(size);
    return bytes;
}

inline std::vector<uint8_t> RandomBytes(size_t size, unsigned seed = 7) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> bytes(size);
    for (auto &b : bytes) b = static_cast<uint8_t>(rng());
    return bytes;
}

struct TestEntry {
    std::string name;
    std::vector<uint8_t> data;
    bool folder = false;
    bool compress = true;
};

// `front` bytes go before the archive (a program it is appended to).
inline std::vector<uint8_t> BuildArchive(const std::vector<TestEntry> &entries,
                                         const std::vector<uint8_t> &front = {},
                                         bool absoluteOffsets = false,
                                         const std::string &comment = std::string(),
                                         zip::ZipEntryMeta meta = zip::ZipEntryMeta()) {
    VectorStream out(front);
    zip::ZipWriter writer(out, absoluteOffsets);
    if (meta.modificationTime == 0) meta.modificationTime = 1262347445;  // 2010-01-01 12:04:05 UTC
    for (const TestEntry &e : entries) {
        if (e.folder) {
            writer.AddFolder(e.name, meta);
        } else {
            MemoryReadStream source(e.data.data(), e.data.size());
            writer.AddData(e.name, source, e.data.size(), e.compress, meta);
        }
    }
    writer.Finish(comment);
    return out.Bytes();
}

#endif
