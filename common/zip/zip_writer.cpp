#include "common/zip/zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "common/zip/zip_error.h"

namespace zip {

namespace {

constexpr size_t kBufferSize = 1 << 16;
// Deflate is given this much of an entry before the writer judges whether it
// pays; data that does not shrink by 1 % (random bytes, media) is stored.
constexpr uint64_t kProbeBytes = 1 << 16;
constexpr uint64_t kMaxEntries = 0xFFFF;

struct Deflater {
    z_stream z{};
    explicit Deflater(int level) {
        if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw CZipException(ZipCause::InflateInit, "deflate could not start");
    }
    ~Deflater() { deflateEnd(&z); }
};

}  // namespace

uint32_t DefaultExternalAttributes(bool folder, bool readOnly) {
    uint32_t mode = folder ? 040755 : (readOnly ? 0100444 : 0100644);
    uint32_t dos = folder ? 0x10 : 0x20;
    if (readOnly) dos |= 0x01;
    return mode << 16 | dos;
}

bool IsPrecompressedName(const std::string &name) {
    static const char *const kExtensions[] = {".zip", ".zoo", ".arc", ".lzh", ".arj", ".gz", ".tgz"};
    for (const char *ext : kExtensions) {
        size_t n = strlen(ext);
        if (name.size() < n) continue;
        bool same = true;
        for (size_t i = 0; i < n && same; ++i) {
            char c = name[name.size() - n + i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            same = c == ext[i];
        }
        if (same) return true;
    }
    return false;
}

ZipWriter::ZipWriter(ByteStream &out, bool absoluteOffsets)
    : out_(out), absoluteOffsets_(absoluteOffsets) {
    if (!out_.SeekToEnd()) failed_ = true;
    archiveStart_ = out_.Tell();
}

void ZipWriter::CheckOpen() {
    if (closed_) throw CZipException(ZipCause::WriterClosed, "archive already closed");
    if (failed_) throw CZipException(ZipCause::WriteFailed, "archive writer has failed");
}

void ZipWriter::Put(const void *data, size_t count) {
    if (!out_.Write(data, count)) {
        failed_ = true;
        throw CZipException(ZipCause::WriteFailed, "write failed");
    }
}

uint32_t ZipWriter::StoredOffset(uint64_t position) {
    uint64_t offset = absoluteOffsets_ ? position : position - archiveStart_;
    if (offset > 0xFFFFFFFFu) {
        failed_ = true;
        throw CZipException(ZipCause::TooLarge, "archive larger than 4 GB");
    }
    return static_cast<uint32_t>(offset);
}

ZipWriter::Pending ZipWriter::Begin(const std::string &name, const ZipEntryMeta &meta, bool folder) {
    CheckOpen();
    if (name.size() > 0xFFFF || entries_.size() >= kMaxEntries)
        throw CZipException(ZipCause::TooLarge, "name too long or too many entries");
    Pending p;
    p.name = name;
    CentralHeader &h = p.header;
    h.versionMadeBy = meta.versionMadeBy;
    h.versionNeeded = 20;
    h.method = kMethodStored;
    if (meta.dosDate == 0 && meta.dosTime == 0)
        CivilToDos(UnixToCivil(meta.modificationTime), h.dosDate, h.dosTime);
    else
        h.dosDate = meta.dosDate, h.dosTime = meta.dosTime;
    h.externalAttributes = meta.externalAttributes ? meta.externalAttributes
                                                   : DefaultExternalAttributes(folder, false);
    ExtendedTimes times;
    times.hasModification = times.hasAccess = times.hasCreation = true;
    times.modification = meta.modificationTime;
    times.access = meta.accessTime ? meta.accessTime : meta.modificationTime;
    times.creation = meta.creationTime ? meta.creationTime : meta.modificationTime;
    p.localExtra = EncodeExtendedTimes(times, false);
    p.extra = EncodeExtendedTimes(times, true);
    h.nameLength = static_cast<uint16_t>(name.size());
    h.extraLength = static_cast<uint16_t>(p.extra.size());
    return p;
}

void ZipWriter::WriteLocalHeader(const Pending &p, uint64_t position) {
    LocalHeader local;
    local.versionNeeded = p.header.versionNeeded;
    local.flags = p.header.flags;
    local.method = p.header.method;
    local.dosTime = p.header.dosTime;
    local.dosDate = p.header.dosDate;
    local.crc32 = p.header.crc32;
    local.compressedSize = p.header.compressedSize;
    local.uncompressedSize = p.header.uncompressedSize;
    local.nameLength = static_cast<uint16_t>(p.name.size());
    local.extraLength = static_cast<uint16_t>(p.localExtra.size());
    uint8_t fixed[kLocalHeaderSize];
    EncodeLocalHeader(local, fixed);
    if (!out_.Seek(position)) {
        failed_ = true;
        throw CZipException(ZipCause::WriteFailed, "seek failed");
    }
    Put(fixed, sizeof fixed);
    Put(p.name.data(), p.name.size());
    Put(p.localExtra.data(), p.localExtra.size());
}

void ZipWriter::AddFolder(const std::string &name, const ZipEntryMeta &meta) {
    Pending p = Begin(name, meta, true);
    uint64_t position = out_.Tell();
    p.header.localHeaderOffset = StoredOffset(position);
    WriteLocalHeader(p, position);
    entries_.push_back(std::move(p));
}

void ZipWriter::AddData(const std::string &name, ByteStream &source, uint64_t size, bool compress,
                        const ZipEntryMeta &meta, int level,
                        const std::function<void(uint64_t)> &progress) {
    Pending p = Begin(name, meta, false);
    if (size > 0xFFFFFFFFu) throw CZipException(ZipCause::TooLarge, "entry larger than 4 GB");
    const uint64_t position = out_.Tell();
    const uint64_t sourceStart = source.Tell();
    p.header.localHeaderOffset = StoredOffset(position);
    if (inBuffer_.empty()) {
        inBuffer_.resize(kBufferSize);
        outBuffer_.resize(kBufferSize);
    }
    WriteLocalHeader(p, position);
    const uint64_t dataStart = out_.Tell();
    bool stored = !compress || size == 0 || IsPrecompressedName(name);
    if (!stored) {
        p.header.method = kMethodDeflated;
        stored = !WriteData(source, size, true, level, p, progress);
        if (stored) {
            if (!source.Seek(sourceStart) || !out_.Seek(dataStart)) {
                failed_ = true;
                throw CZipException(ZipCause::ReadFailed, "source cannot be read again");
            }
        }
    }
    if (stored) {
        p.header.method = kMethodStored;
        WriteData(source, size, false, level, p, progress);
    }
    const uint64_t end = out_.Tell();
    WriteLocalHeader(p, position);
    if (!out_.Seek(end)) {
        failed_ = true;
        throw CZipException(ZipCause::WriteFailed, "seek failed");
    }
    entries_.push_back(std::move(p));
}

void ZipWriter::BeginEntry(const std::string &name, const ZipEntryMeta &meta) {
    if (entryOpen_) throw CZipException(ZipCause::WriterClosed, "an entry is still open");
    open_ = Begin(name, meta, false);
    openPosition_ = out_.Tell();
    open_.header.localHeaderOffset = StoredOffset(openPosition_);
    WriteLocalHeader(open_, openPosition_);
    openDataStart_ = out_.Tell();
    entryOpen_ = true;
}

void ZipWriter::WriteEntryData(const void *data, size_t count) {
    CheckOpen();
    if (!entryOpen_) throw CZipException(ZipCause::WriterClosed, "no entry is open");
    Put(data, count);
}

void ZipWriter::RestartEntryData() {
    CheckOpen();
    if (!entryOpen_ || !out_.Seek(openDataStart_)) {
        failed_ = true;
        throw CZipException(ZipCause::WriteFailed, "seek failed");
    }
}

void ZipWriter::EndEntry(uint16_t method, uint32_t crc, uint64_t uncompressedSize) {
    CheckOpen();
    if (!entryOpen_) throw CZipException(ZipCause::WriterClosed, "no entry is open");
    entryOpen_ = false;
    const uint64_t end = out_.Tell();
    const uint64_t written = end - openDataStart_;
    if (written > 0xFFFFFFFFu || uncompressedSize > 0xFFFFFFFFu) {
        failed_ = true;
        throw CZipException(ZipCause::TooLarge, "entry larger than 4 GB");
    }
    open_.header.method = method;
    open_.header.crc32 = crc;
    open_.header.compressedSize = static_cast<uint32_t>(written);
    open_.header.uncompressedSize = static_cast<uint32_t>(uncompressedSize);
    WriteLocalHeader(open_, openPosition_);
    if (!out_.Seek(end)) {
        failed_ = true;
        throw CZipException(ZipCause::WriteFailed, "seek failed");
    }
    entries_.push_back(std::move(open_));
}

// Streams the data once; returns false (having written a partial entry the
// caller rewinds over) when deflate does not pay.
bool ZipWriter::WriteData(ByteStream &source, uint64_t size, bool compress, int level,
                          Pending &p, const std::function<void(uint64_t)> &progress) {
    uLong crc = crc32(0, Z_NULL, 0);
    uint64_t consumed = 0, written = 0;
    std::unique_ptr<Deflater> deflater;
    if (compress) deflater.reset(new Deflater(std::min(9, std::max(1, level))));
    bool probed = !compress || size <= kProbeBytes;
    // Bytes of a pass that may still be thrown away are reported once it is kept.
    uint64_t unreported = 0;
    while (consumed < size || (compress && deflater)) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(inBuffer_.size(), size - consumed));
        if (n && source.Read(inBuffer_.data(), n) != n) {
            failed_ = true;
            throw CZipException(ZipCause::ReadFailed, "source file cut short");
        }
        crc = crc32(crc, inBuffer_.data(), static_cast<uInt>(n));
        consumed += n;
        if (!compress) {
            Put(inBuffer_.data(), n);
            written += n;
        } else {
            z_stream &z = deflater->z;
            z.next_in = inBuffer_.data();
            z.avail_in = static_cast<uInt>(n);
            bool last = consumed == size;
            bool judge = !probed && consumed >= kProbeBytes;
            int flush = last ? Z_FINISH : judge ? Z_SYNC_FLUSH : Z_NO_FLUSH;
            int rc;
            do {
                z.next_out = outBuffer_.data();
                z.avail_out = static_cast<uInt>(outBuffer_.size());
                rc = deflate(&z, flush);
                size_t have = outBuffer_.size() - z.avail_out;
                Put(outBuffer_.data(), have);
                written += have;
            } while (z.avail_out == 0 || (last && rc != Z_STREAM_END));
            if (judge) {
                probed = true;
                if (written * 100 >= consumed * 99) return false;
            }
            if (last) deflater.reset();
        }
        unreported += n;
        if (progress && unreported && (!compress || (probed && size > kProbeBytes))) {
            progress(unreported);
            unreported = 0;
        }
        if (!compress && consumed == size) break;
    }
    if (compress && written >= size) return false;
    if (progress && unreported) progress(unreported);
    if (written > 0xFFFFFFFFu) throw CZipException(ZipCause::TooLarge, "entry larger than 4 GB");
    p.header.crc32 = static_cast<uint32_t>(crc);
    p.header.compressedSize = static_cast<uint32_t>(written);
    p.header.uncompressedSize = static_cast<uint32_t>(size);
    return true;
}

void ZipWriter::Finish(const std::string &comment) {
    CheckOpen();
    if (entryOpen_) throw CZipException(ZipCause::WriterClosed, "an entry is still open");
    closed_ = true;
    const uint64_t directoryStart = out_.Tell();
    EndRecord end;
    end.directoryOffset = StoredOffset(directoryStart);
    uint8_t fixed[kCentralHeaderSize];
    for (const Pending &p : entries_) {
        EncodeCentralHeader(p.header, fixed);
        Put(fixed, sizeof fixed);
        Put(p.name.data(), p.name.size());
        Put(p.extra.data(), p.extra.size());
    }
    const uint64_t directorySize = out_.Tell() - directoryStart;
    if (directorySize > 0xFFFFFFFFu) throw CZipException(ZipCause::TooLarge, "directory too large");
    end.entriesOnDisk = end.entriesTotal = static_cast<uint16_t>(entries_.size());
    end.directorySize = static_cast<uint32_t>(directorySize);
    end.commentLength = static_cast<uint16_t>(std::min<size_t>(comment.size(), 0xFFFF));
    uint8_t record[kEndRecordSize];
    EncodeEndRecord(end, record);
    Put(record, sizeof record);
    Put(comment.data(), end.commentLength);
    // A stored rewrite may have left deflated bytes beyond the new end.
    if (out_.Tell() < out_.Size()) out_.Truncate();
    if (!out_.Flush()) {
        failed_ = true;
        throw CZipException(ZipCause::WriteFailed, "flush failed");
    }
}

}  // namespace zip
