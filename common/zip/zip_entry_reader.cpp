#include "common/zip/zip_entry_reader.h"

#include <zlib.h>

#include <algorithm>

#include "common/zip/zip_error.h"

namespace zip {

namespace {
constexpr size_t kInputBufferSize = 1 << 16;
}

struct ZipEntryReader::Inflater {
    z_stream z{};
    bool ended = false;  // the deflate stream reached its final block
    Inflater() {
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
            throw CZipException(ZipCause::InflateInit, "inflate could not start");
    }
    ~Inflater() { inflateEnd(&z); }
};

LocalEntryInfo ReadLocalHeader(ByteStream &stream, const ZipDirectory &directory,
                               const ZipEntry &entry) {
    const uint64_t limit = directory.DirectoryPosition();  // entry data lies before it
    const uint64_t at = entry.localHeaderPosition;
    uint8_t fixed[kLocalHeaderSize];
    LocalEntryInfo info;
    LocalHeader &local = info.header;
    if (at > limit || limit - at < kLocalHeaderSize)
        throw CZipException(ZipCause::BadLocalHeader, "local header outside the archive");
    if (!stream.ReadAt(at, fixed, sizeof fixed))
        throw CZipException(ZipCause::ReadFailed, "local header unreadable");
    if (!DecodeLocalHeader(fixed, local))
        throw CZipException(ZipCause::BadLocalHeader, "local header signature missing");
    uint64_t afterName = at + kLocalHeaderSize + local.nameLength;
    if (afterName > limit)
        throw CZipException(ZipCause::BadLocalHeader, "local header outside the archive");
    if (local.extraLength > limit - afterName)
        throw CZipException(ZipCause::BadExtraField, "extra field outside the archive");
    std::vector<uint8_t> extra(local.extraLength);
    if (!extra.empty() && !stream.ReadAt(afterName, extra.data(), extra.size()))
        throw CZipException(ZipCause::BadExtraField, "extra field unreadable");
    if (!FindExtendedTimes(extra.data(), extra.size(), info.times))
        throw CZipException(ZipCause::BadExtraField, "extra field malformed");
    info.dataPosition = afterName + local.extraLength;
    return info;
}

ZipEntryReader::ZipEntryReader(ByteStream &stream, const ZipDirectory &directory,
                               const ZipEntry &entry)
    : stream_(stream) {
    const uint64_t limit = directory.DirectoryPosition();
    LocalEntryInfo info = ReadLocalHeader(stream, directory, entry);
    const LocalHeader &local = info.header;
    localTimes_ = info.times;
    const CentralHeader &h = entry.header;
    if ((h.flags | local.flags) & kFlagEncrypted)
        throw CZipException(ZipCause::Encrypted, "entry is encrypted");
    if (h.method != kMethodStored && h.method != kMethodDeflated)
        throw CZipException(ZipCause::UnsupportedMethod, "compression method not supported");
    if (local.method != h.method)
        throw CZipException(ZipCause::BadLocalHeader, "local and central method disagree");
    if (h.method == kMethodStored && h.compressedSize != h.uncompressedSize)
        throw CZipException(ZipCause::BadLocalHeader, "stored entry with two sizes");
    dataPosition_ = info.dataPosition;
    if (h.compressedSize > limit - dataPosition_)
        throw CZipException(ZipCause::BadLocalHeader, "entry data overruns the archive");

    method_ = h.method;
    expectedCrc_ = h.crc32;
    compressedLeft_ = h.compressedSize;
    expectedSize_ = h.uncompressedSize;
    crc_ = static_cast<uint32_t>(crc32(0, Z_NULL, 0));
    if (method_ == kMethodDeflated) {
        inflater_.reset(new Inflater());
        input_.resize(static_cast<size_t>(std::min<uint64_t>(kInputBufferSize, std::max<uint64_t>(compressedLeft_, 1))));
    }
}

ZipEntryReader::~ZipEntryReader() = default;

size_t ZipEntryReader::Read(void *buffer, size_t capacity) {
    if (finished_ || capacity == 0) return 0;
    uint8_t *out = static_cast<uint8_t *>(buffer);
    size_t n = method_ == kMethodStored ? ReadStored(out, capacity) : ReadDeflated(out, capacity);
    if (n) crc_ = static_cast<uint32_t>(crc32(crc_, out, static_cast<uInt>(n)));
    produced_ += n;
    if (produced_ == expectedSize_ && (method_ == kMethodStored || inflater_->ended)) Finish();
    return n;
}

size_t ZipEntryReader::ReadStored(uint8_t *out, size_t capacity) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(capacity, compressedLeft_));
    if (n == 0) return 0;
    if (!stream_.ReadAt(dataPosition_, out, n))
        throw CZipException(ZipCause::ReadFailed, "entry data cut short");
    dataPosition_ += n;
    compressedLeft_ -= n;
    return n;
}

size_t ZipEntryReader::ReadDeflated(uint8_t *out, size_t capacity) {
    z_stream &z = inflater_->z;
    // Never produce more than the entry declares: a longer stream is damaged.
    size_t want = static_cast<size_t>(std::min<uint64_t>(capacity, Remaining()));
    uint8_t probe;
    bool probing = want == 0;  // all bytes out: only the stream's end may follow
    z.next_out = probing ? &probe : out;
    z.avail_out = probing ? 1u : static_cast<uInt>(std::min<size_t>(want, UINT32_MAX));
    while (z.avail_out > 0 && !inflater_->ended) {
        if (z.avail_in == 0 && compressedLeft_ > 0) {
            size_t n = static_cast<size_t>(std::min<uint64_t>(input_.size(), compressedLeft_));
            if (!stream_.ReadAt(dataPosition_, input_.data(), n))
                throw CZipException(ZipCause::ReadFailed, "entry data cut short");
            dataPosition_ += n;
            compressedLeft_ -= n;
            z.next_in = input_.data();
            z.avail_in = static_cast<uInt>(n);
        }
        int rc = inflate(&z, Z_NO_FLUSH);
        if (rc == Z_STREAM_END) {
            inflater_->ended = true;
        } else if (rc == Z_BUF_ERROR && z.avail_in == 0 && compressedLeft_ == 0) {
            throw CZipException(ZipCause::BadData, "deflate data ends early");
        } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
            throw CZipException(ZipCause::BadData, "deflate data damaged");
        }
    }
    if (probing) {
        if (z.avail_out == 0) throw CZipException(ZipCause::BadData, "entry longer than declared");
        return 0;
    }
    size_t n = want - z.avail_out;
    if (inflater_->ended && produced_ + n != expectedSize_)
        throw CZipException(ZipCause::BadData, "entry shorter than declared");
    return n;
}

void ZipEntryReader::Finish() {
    finished_ = true;
    if (crc_ != expectedCrc_) throw CZipException(ZipCause::CrcMismatch, "CRC-32 mismatch");
}

}  // namespace zip
