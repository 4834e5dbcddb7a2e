#ifndef SETUP_ARCHIVE_PAYLOAD_READER_H
#define SETUP_ARCHIVE_PAYLOAD_READER_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/zip/byte_stream.h"
#include "common/zip/zip_directory.h"

// The reading side of the setup wizard's archive, free of Win32 types: the
// Win32 interface (payload_archive.h) opens files and handles and feeds them
// in as streams; tests and fuzzers feed memory.

// Windows file attribute values (they are fixed by the file system's format).
namespace file_attribute {
constexpr uint32_t kReadOnly = 0x01;
constexpr uint32_t kHidden = 0x02;
constexpr uint32_t kSystem = 0x04;
constexpr uint32_t kDirectory = 0x10;
constexpr uint32_t kArchive = 0x20;
constexpr uint32_t kNormal = 0x80;
}  // namespace file_attribute

// Entry names are cut to this many characters (a Windows path's limit less
// its terminator).
constexpr size_t kMaxEntryNameChars = 259;
// Data is handed to targets in chunks of this size.
constexpr size_t kExtractChunkBytes = 16384;

// Windows attributes from a ZIP entry's external attributes, whatever system
// wrote it: directory from bit 30 (Unix directory) or bit 4, archive bit 5,
// hidden bit 1, system bit 2, read-only when bit 23 (Unix owner write) is
// clear or bit 0 is set.
uint32_t MapExternalAttributes(uint32_t external);

// Turns the stored name bytes into text; the Win32 side uses the ANSI code page.
using NameDecoder = std::wstring (*)(const std::string &bytes);
// Each byte as the character of the same number (portable default).
std::wstring DecodeNameLatin1(const std::string &bytes);

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
