#ifndef TOOLS_PKGBUILD_PARALLEL_ENTRIES_H
#define TOOLS_PKGBUILD_PARALLEL_ENTRIES_H

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/zip/zip_writer.h"

// Writes a package's entries with their data deflated on several threads.
//
// Each entry's data is cut into pieces that are deflated independently: every
// piece is primed with the 32 KB before it and ends on a byte boundary (a sync
// flush), so the pieces of an entry joined in order are one raw deflate stream,
// and their CRC-32s combine into the entry's. The first 64 KB of an entry is
// deflated first on its own: an entry that does not shrink by 1 % there is
// stored, like the serial writer decides. Only a bounded number of pieces is
// held at a time, so memory stays flat whatever the package's size; the
// entries are written in the order given.

struct ParallelEntry {
    std::string name;  // the stored name
    zip::ZipEntryMeta meta;
    bool folder = false;  // a folder or script line: no data
    std::filesystem::path source;
    uint64_t size = 0;
    bool compress = true;
    std::wstring label;  // what progress reports name
};

using EntryProgress = std::function<void(uint64_t bytes, const std::wstring &label)>;

// Throws CZipException (writer failures, a source cut short) or
// std::runtime_error (a source that cannot be opened). The worker threads have
// ended when it returns or throws.
void WriteEntriesInParallel(zip::ZipWriter &writer, const std::vector<ParallelEntry> &entries,
                            int level, unsigned threads, const EntryProgress &progress);

#endif
