#ifndef COMMON_ZIP_ZIP_ARCHIVE_READER_H
#define COMMON_ZIP_ZIP_ARCHIVE_READER_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "common/zip/byte_stream.h"
#include "common/zip/entry_chunks.h"
#include "common/zip/entry_name.h"
#include "common/zip/zip_directory.h"
#include "common/zip/zip_entry_reader.h"

// One entry's header as the update manager's package reader hands it out.
struct ZipFileHeader {
    std::wstring fileName;          // decoded stored name; "/" or "\" may separate folders
    uint32_t uncompressedSize = 0;
    uint32_t compressedSize = 0;
    uint32_t crc32 = 0;
    uint16_t method = 0;            // 0 stored, 8 deflated
    uint16_t flags = 0;             // bit 0: encrypted
    uint16_t dosDate = 0, dosTime = 0;
    uint32_t attributes = 0;        // Windows attributes (MapPackageAttributes)
};

// The update manager's package reader without its file-system side: an
// archive opened from a stream, its entries by index, and one entry at a time
// read through the shared entry reader. Failures inside are CZipException;
// the Win32 CZipReader adds paths, files and ExtractEntry on top.
class ZipArchiveReader {
public:
    explicit ZipArchiveReader(NameDecoder decoder = DecodeNameLatin1);
    virtual ~ZipArchiveReader();
    ZipArchiveReader(const ZipArchiveReader &) = delete;
    ZipArchiveReader &operator=(const ZipArchiveReader &) = delete;

    // Reads the central directory of the archive at the end of `archive`,
    // closing any archive open before. Throws CZipException when it is not a
    // readable ZIP archive.
    void Open(std::unique_ptr<ByteStream> archive);
    bool IsOpen() const { return directory_ != nullptr; }

    // 0 when no archive is open.
    int GetCount() const;
    // False for an index out of range or a central header that cannot be read.
    bool GetFileInfo(int index, ZipFileHeader &header) const;
    bool IsFolder(int index) const;

    // Prepares reading entry `index`. False when an entry is still open, the
    // index is out of range or the entry is encrypted. Throws CZipException for
    // a method other than stored and deflated or a damaged local header.
    bool OpenEntry(int index);
    // Up to `capacity` uncompressed bytes of the open entry; 0 at its end or
    // when none is open. Throws CZipException for damaged data.
    size_t ReadEntry(void *buffer, size_t capacity);
    // Ends the open entry. Without `afterError`: -1 when uncompressed bytes
    // were left unread, else the stream is read to its end and the CRC-32
    // checked (a mismatch or a longer stream throws CZipException) and the
    // result is 1. With it: nothing is checked, nothing thrown, result 1.
    int CloseEntry(bool afterError);
    // Ends any open entry and releases the archive. With `afterError` it never
    // throws; without it an entry still open is closed with its checks.
    void Close(bool afterError);

    // The open entry's data into `target` through `buffer` (see CopyEntryChunks).
    zip::ChunkOutcome CopyOpenEntry(ByteStream &target, uint8_t *buffer, size_t size,
                                    const zip::StopTest &stop, const zip::ChunkNotice &notice);

    // The header of the entry opened last (valid until the next OpenEntry).
    const ZipFileHeader &OpenedHeader() const { return opened_; }

private:
    NameDecoder decoder_;
    std::unique_ptr<ByteStream> archive_;
    std::unique_ptr<zip::ZipDirectory> directory_;
    std::unique_ptr<zip::ZipEntryReader> entry_;
    ZipFileHeader opened_;
};

#endif
