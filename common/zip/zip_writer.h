#ifndef COMMON_ZIP_ZIP_WRITER_H
#define COMMON_ZIP_ZIP_WRITER_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/zip/byte_stream.h"
#include "common/zip/zip_format.h"

namespace zip {

// What an entry carries besides its name and data.
struct ZipEntryMeta {
    uint32_t modificationTime = 0;  // Unix seconds
    // The DOS fields; both 0: taken from modificationTime as UTC.
    uint16_t dosDate = 0, dosTime = 0;
    uint32_t accessTime = 0;        // 0: same as modificationTime
    uint32_t creationTime = 0;      // 0: same as modificationTime
    uint32_t externalAttributes = 0;  // 0: DefaultExternalAttributes(folder, false)
    uint16_t versionMadeBy = 0x0B17;
};

// Unix mode in the high half (owner may write unless read-only, so readers that
// take a clear owner-write bit as read-only see the right thing) and the DOS
// attributes in the low half.
uint32_t DefaultExternalAttributes(bool folder, bool readOnly);

// Writes a ZIP archive at the current end of `out`, entry by entry, without
// holding any entry's data in memory: data streams from its source through a
// fixed buffer, and the local header is rewritten with the sizes and CRC once
// they are known (so `out` must be seekable).
//
// Stored offsets count from the archive's first byte, or, with
// absoluteOffsets, from the start of `out` (what an appended archive in a
// program file has when the program wrote it itself). Readers that correct
// for bytes in front of the archive open both.
//
// Every failure throws CZipException (WriteFailed, ReadFailed, TooLarge,
// WriterClosed); after one the writer refuses further entries.
class ZipWriter {
public:
    ZipWriter(ByteStream &out, bool absoluteOffsets);

    // A folder entry: the name should end in "/" (AddFolder does not add it).
    void AddFolder(const std::string &name, const ZipEntryMeta &meta);
    // `size` bytes from the current position of `source`. Deflated at `level`
    // (1..9) unless `compress` is false; an entry that deflate would not make
    // smaller is stored instead. `progress`, when set, receives the number of
    // source bytes consumed after each block.
    void AddData(const std::string &name, ByteStream &source, uint64_t size, bool compress,
                 const ZipEntryMeta &meta, int level = 6,
                 const std::function<void(uint64_t)> &progress = {});
    // An entry whose data the caller produces (a raw deflate stream made
    // elsewhere, or stored bytes): BeginEntry writes the local header,
    // WriteEntryData appends data, RestartEntryData goes back to the entry's
    // first data byte (to store what deflate did not shrink), EndEntry records
    // the method, CRC-32 and uncompressed size and completes the local header.
    void BeginEntry(const std::string &name, const ZipEntryMeta &meta);
    void WriteEntryData(const void *data, size_t count);
    void RestartEntryData();
    void EndEntry(uint16_t method, uint32_t crc32, uint64_t uncompressedSize);
    // Writes the central directory and the end record. The writer is closed
    // afterwards, also when this throws.
    void Finish(const std::string &comment = std::string());

    bool Failed() const { return failed_; }
    bool Closed() const { return closed_; }
    uint64_t ArchiveStart() const { return archiveStart_; }
    size_t Count() const { return entries_.size(); }

private:
    struct Pending {
        CentralHeader header;
        std::string name;
        std::vector<uint8_t> extra;       // central form
        std::vector<uint8_t> localExtra;
    };
    void CheckOpen();
    uint32_t StoredOffset(uint64_t position);
    Pending Begin(const std::string &name, const ZipEntryMeta &meta, bool folder);
    void WriteLocalHeader(const Pending &entry, uint64_t position);
    bool WriteData(ByteStream &source, uint64_t size, bool compress, int level, Pending &entry,
                   const std::function<void(uint64_t)> &progress);
    void Put(const void *data, size_t count);

    ByteStream &out_;
    bool absoluteOffsets_;
    Pending open_;                 // the entry between BeginEntry and EndEntry
    uint64_t openPosition_ = 0;
    uint64_t openDataStart_ = 0;
    bool entryOpen_ = false;
    uint64_t archiveStart_;
    std::vector<Pending> entries_;
    std::vector<uint8_t> inBuffer_, outBuffer_;
    bool failed_ = false;
    bool closed_ = false;
};

// True when `name` ends (letters case ignored) in an extension of an already
// compressed format: ".zip", ".zoo", ".arc", ".lzh", ".arj", ".gz", ".tgz".
bool IsPrecompressedName(const std::string &name);

}  // namespace zip

#endif
