#ifndef COMMON_ZIP_ZIP_ENTRY_READER_H
#define COMMON_ZIP_ZIP_ENTRY_READER_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/zip/byte_stream.h"
#include "common/zip/zip_directory.h"
#include "common/zip/zip_format.h"

namespace zip {

// What an entry's local header adds to its central header.
struct LocalEntryInfo {
    LocalHeader header;
    uint64_t dataPosition = 0;  // first byte of the entry's data in the stream
    ExtendedTimes times;        // "UT" of the local extra field
};

// Reads and checks the local header: it, its name and its extra field must lie
// before the central directory. Throws CZipException: BadLocalHeader,
// BadExtraField, ReadFailed.
LocalEntryInfo ReadLocalHeader(ByteStream &stream, const ZipDirectory &directory,
                               const ZipEntry &entry);

// Streams the uncompressed data of one entry: stored bytes are copied,
// deflated bytes go through zlib's raw inflate; CRC-32 runs over the output.
// Input is read through one fixed buffer, so memory does not grow with the
// entry's size. Reading past the stream's data is impossible: the entry's
// data must lie between its local header and the central directory.
class ZipEntryReader {
public:
    // Reads and checks the local header. Throws CZipException: BadLocalHeader,
    // BadExtraField, Encrypted, UnsupportedMethod, InflateInit, ReadFailed.
    ZipEntryReader(ByteStream &stream, const ZipDirectory &directory, const ZipEntry &entry);
    ~ZipEntryReader();
    ZipEntryReader(const ZipEntryReader &) = delete;
    ZipEntryReader &operator=(const ZipEntryReader &) = delete;

    // The "UT" times of the local header (none when absent).
    const ExtendedTimes &LocalTimes() const { return localTimes_; }

    // Fills up to `capacity` bytes; 0 when the entry is exhausted. The read that
    // reaches the end checks the CRC-32 and the size before it returns.
    // Throws CZipException: BadData, CrcMismatch, ReadFailed.
    size_t Read(void *buffer, size_t capacity);

    uint64_t Produced() const { return produced_; }
    uint64_t Remaining() const { return expectedSize_ - produced_; }
    bool Finished() const { return finished_; }

private:
    size_t ReadStored(uint8_t *out, size_t capacity);
    size_t ReadDeflated(uint8_t *out, size_t capacity);
    void Finish();

    struct Inflater;
    ByteStream &stream_;
    std::unique_ptr<Inflater> inflater_;
    std::vector<uint8_t> input_;
    ExtendedTimes localTimes_;
    uint16_t method_ = 0;
    uint32_t expectedCrc_ = 0;
    uint64_t dataPosition_ = 0;   // next compressed byte to read
    uint64_t compressedLeft_ = 0;
    uint64_t expectedSize_ = 0;
    uint64_t produced_ = 0;
    uint32_t crc_ = 0;
    bool finished_ = false;
};

}  // namespace zip

#endif
