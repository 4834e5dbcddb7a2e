#ifndef SETUP_ARCHIVE_PAYLOAD_READER_H
#define SETUP_ARCHIVE_PAYLOAD_READER_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/zip/byte_stream.h"
#include "common/zip/entry_name.h"
#include "common/zip/zip_attributes.h"
#include "common/zip/zip_directory.h"

// The reading side of the setup wizard's archive, free of Win32 types: the
// Win32 interface (payload_archive.h) opens files and handles and feeds them
// in as streams; tests and fuzzers feed memory.

// Entry names are cut to this many characters (a Windows path's limit less
// its terminator).
constexpr size_t kMaxEntryNameChars = 259;
// Data is handed to targets in chunks of this size.
constexpr size_t kExtractChunkBytes = 16384;

struct PayloadEntryInfo {
    int32_t index = 0;
    std::wstring name;  // at most kMaxEntryNameChars
    uint32_t attributes = 0;
    // FILETIME values (100 ns since 1601).
    uint64_t accessTime = 0, creationTime = 0, modificationTime = 0;
    int32_t compressedSize = 0;
    int32_t uncompressedSize = 0;
};

// Receives the number of bytes just written; false stops.
using ChunkCallback = std::function<bool(uint32_t bytesWritten)>;

class PayloadReader {
public:
    // Null when `source` holds no acceptable archive at its end (no end record
    // in the last 65535 bytes, inconsistent end record, unreadable directory).
    static std::unique_ptr<PayloadReader> Open(std::unique_ptr<ByteStream> source,
                                               NameDecoder decoder = DecodeNameLatin1);

    int Count() const { return static_cast<int>(directory_.Count()); }

    // Index -1 gives the count in `index` and nothing else. Result codes of
    // archive_result.h; the last entry read is cached.
    uint32_t GetEntry(int index, PayloadEntryInfo &out);

    // Streams the entry's data into `target` in chunks of kExtractChunkBytes.
    // `stopRequested` (may be empty) is asked before each chunk: kStopped.
    // The callback answering false also stops: kStopped. Data that cannot be
    // inflated, fails its CRC-32 or cannot be written: kWriteFailed. A target
    // that fills up (`memoryTarget`, a block of fixed size that keeps what
    // fits): kMoreData. A folder entry writes nothing.
    uint32_t Extract(int index, ByteStream &target, bool memoryTarget, const std::function<bool()> &stopRequested,
                     const ChunkCallback &callback);

private:
    PayloadReader(std::unique_ptr<ByteStream> source, NameDecoder decoder);
    std::unique_ptr<ByteStream> source_;
    zip::ZipDirectory directory_;
    NameDecoder decoder_;
    int cachedIndex_ = -2;
    PayloadEntryInfo cached_;
};

#endif
