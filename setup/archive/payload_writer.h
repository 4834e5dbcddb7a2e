#ifndef SETUP_ARCHIVE_PAYLOAD_WRITER_H
#define SETUP_ARCHIVE_PAYLOAD_WRITER_H

#include <cstdint>
#include <string>

#include "common/zip/byte_stream.h"
#include "common/zip/zip_writer.h"

// Longest ANSI entry name the writer takes; longer names are cut.
constexpr size_t kMaxWriterNameBytes = 2598;

// Entry names as the writer stores them: every "\" becomes "/".
std::string ToStoredName(const std::string &ansiName);
// A folder entry's stored name: ToStoredName plus a trailing "/" when missing.
std::string ToStoredFolderName(const std::string &ansiName);

// The writing side of the setup wizard's archive, free of Win32 types: an
// archive written at the end of `out` (after whatever is there, normally a
// program and a marker), every stored offset counting from the start of `out`.
// Failures are CZipException (EmptyName, WriteFailed, ReadFailed); after a
// failed write every call throws WriteFailed, after Close WriterClosed.
class PayloadWriter {
public:
    explicit PayloadWriter(ByteStream &out);

    void AddFolderEntry(const std::string &ansiName, const zip::ZipEntryMeta &meta);
    // The rest of `source`. Deflated, except names of already compressed
    // formats (IsPrecompressedName) and data that deflate does not make
    // smaller, which are stored.
    void AddDataEntry(const std::string &ansiName, ByteStream &source, const zip::ZipEntryMeta &meta);
    // Writes the central directory and the end record.
    void Close();

private:
    zip::ZipWriter writer_;
};

#endif
