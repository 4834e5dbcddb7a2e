#ifndef COMMON_ZIP_ZIP_DIRECTORY_H
#define COMMON_ZIP_ZIP_DIRECTORY_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/zip/byte_stream.h"
#include "common/zip/zip_format.h"

namespace zip {

// Longest tail of a file searched for the end record: the record plus the
// longest comment it can announce.
constexpr uint64_t kEndRecordSearchLimit = 65535;

// Position of the last end-record signature in the last
// min(size, kEndRecordSearchLimit) bytes, searched from the end backwards in
// windows of 1028 bytes that each start 1024 bytes further back (so a
// signature across two windows is still seen); the first window that holds
// one decides. A signature at position 0 of the stream counts as absent
// unless `atStartCounts` (an archive without entries is its end record alone).
// Returns false when there is none.
bool FindEndRecord(ByteStream &stream, uint64_t &position, bool atStartCounts = false);

// One entry as its central header describes it.
struct ZipEntry {
    CentralHeader header;
    std::string name;                 // the stored bytes, code page unknown
    std::vector<uint8_t> extra;       // the central extra field
    uint64_t localHeaderPosition = 0; // in the stream, after the offset correction
};

// The central directory of the archive at the end of a stream. Only the
// position of each central header is kept; entries are decoded again on each
// request, so memory stays small whatever the archive holds.
class ZipDirectory {
public:
    // Finds and checks the end record and walks the central directory once.
    // Throws CZipException: NoEndRecord, BadEndRecord, BadDirectory, ReadFailed.
    // Bytes in front of the archive (a program it is appended to) are allowed:
    // their number is added to every stored offset, so stored offsets may count
    // from the archive's start or from the stream's start.
    // `emptyArchiveOpens`: an end record at the stream's first byte counts
    // (an archive of no entries); the setup wizard's payload search refuses it.
    explicit ZipDirectory(ByteStream &stream, bool emptyArchiveOpens = false);

    size_t Count() const { return headerPositions_.size(); }
    const EndRecord &End() const { return end_; }
    uint64_t EndRecordPosition() const { return endPosition_; }
    // Where the central directory starts in the stream; entry data lies before it.
    uint64_t DirectoryPosition() const { return directoryPosition_; }
    // The offset correction: bytes in front of what the stored offsets count from.
    uint64_t FrontBytes() const { return frontBytes_; }

    // Throws CZipException (BadDirectory, ReadFailed) when the header cannot be
    // read again; index must be below Count().
    ZipEntry Entry(size_t index) const;

private:
    ByteStream &stream_;
    EndRecord end_;
    uint64_t endPosition_ = 0;
    uint64_t directoryPosition_ = 0;
    uint64_t frontBytes_ = 0;
    std::vector<uint64_t> headerPositions_;
};

}  // namespace zip

#endif
