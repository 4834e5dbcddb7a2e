#ifndef SETUP_ARCHIVE_PAYLOAD_READER_H
#define SETUP_ARCHIVE_PAYLOAD_READER_H

#include <cstdint>
#include <memory>
#include <string>

#include "common/zip/byte_stream.h"
#include "common/zip/entry_chunks.h"
#include "common/zip/entry_name.h"
#include "common/zip/zip_attributes.h"
#include "common/zip/zip_directory.h"

// The reading side of the setup wizard's archive, free of Win32 types: the
// Win32 side (payload_archive.h) feeds it the program's file through its
// handle; tests and fuzzers feed memory. Failures are CZipException, as in
// the update manager's package reader.

// Entry names are cut to this many characters (a Windows path's limit less
// its terminator).
constexpr size_t kMaxEntryNameChars = 259;
// Data is handed to targets in chunks of this size.
constexpr size_t kExtractChunkBytes = 16384;

struct PayloadEntryInfo {
    int index = 0;
    std::wstring name;  // at most kMaxEntryNameChars
    uint32_t attributes = 0;  // MapExternalAttributes, whatever system wrote the entry
    // FILETIME values (100 ns since 1601): the "UT" times where the local
    // header has them, else the DOS date and time read as they stand.
    uint64_t accessTime = 0, creationTime = 0, modificationTime = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    bool IsFolder() const { return (attributes & file_attribute::kDirectory) != 0; }
};

class PayloadReader {
public:
    // Throws CZipException when `source` holds no acceptable archive at its
    // end (no end record in the last 65535 bytes, one at the first byte,
    // inconsistent end record, unreadable directory).
    explicit PayloadReader(std::unique_ptr<ByteStream> source, NameDecoder decoder = DecodeNameLatin1);
    PayloadReader(const PayloadReader &) = delete;
    PayloadReader &operator=(const PayloadReader &) = delete;

    int Count() const { return static_cast<int>(directory_.Count()); }

    // Throws CZipException: NoSuchEntry for an index out of range, the local
    // header's causes otherwise. The last entry read is cached.
    const PayloadEntryInfo &Entry(int index);

    // Streams the entry's data into `target` in chunks of kExtractChunkBytes,
    // with the stop test before each chunk and the notice after it (either may
    // be empty). A folder entry writes nothing and is Finished. Data that
    // cannot be inflated or fails its CRC-32 throws CZipException.
    zip::ChunkOutcome Extract(int index, ByteStream &target, const zip::StopTest &stop,
                              const zip::ChunkNotice &notice);

private:
    zip::ZipEntry Directory(int index) const;

    std::unique_ptr<ByteStream> source_;
    zip::ZipDirectory directory_;
    NameDecoder decoder_;
    int cachedIndex_ = -1;
    PayloadEntryInfo cached_;
};

#endif
