#include "common/zip/zip_directory.h"

#include <algorithm>
#include <cstring>

#include "common/zip/zip_error.h"

namespace zip {

namespace {

constexpr size_t kWindowStep = 1024;
constexpr size_t kWindowSize = kWindowStep + 4;  // overlap: a signature never falls between

}  // namespace

bool FindEndRecord(ByteStream &stream, uint64_t &position, bool atStartCounts) {
    const uint64_t size = stream.Size();
    const uint64_t floor = size - std::min(size, kEndRecordSearchLimit);
    uint8_t window[kWindowSize];
    for (uint64_t back = kWindowStep;; back += kWindowStep) {
        uint64_t start = size > back ? std::max(floor, size - back) : floor;
        uint64_t end = std::min(size, start + kWindowSize);
        if (start < floor) start = floor;
        size_t length = static_cast<size_t>(end - start);
        if (length >= 4) {
            if (!stream.ReadAt(start, window, length)) return false;
            for (size_t i = length - 4 + 1; i-- > 0;) {
                if (ReadLe32(window + i) == kEndRecordSignature) {
                    position = start + i;
                    return position != 0 || atStartCounts;
                }
            }
        }
        if (start == floor) return false;
    }
}

ZipDirectory::ZipDirectory(ByteStream &stream, bool emptyArchiveOpens) : stream_(stream) {
    if (!FindEndRecord(stream_, endPosition_, emptyArchiveOpens))
        throw CZipException(ZipCause::NoEndRecord, "no end-of-central-directory record");
    uint8_t record[kEndRecordSize];
    if (!stream_.ReadAt(endPosition_, record, sizeof record) || !DecodeEndRecord(record, end_))
        throw CZipException(ZipCause::BadEndRecord, "end record cut short");
    if (end_.diskNumber != 0 || end_.directoryDisk != 0 || end_.entriesOnDisk != end_.entriesTotal)
        throw CZipException(ZipCause::BadEndRecord, "multi-volume or inconsistent end record");
    const uint64_t directoryEnd = uint64_t(end_.directoryOffset) + end_.directorySize;
    if (directoryEnd > endPosition_)
        throw CZipException(ZipCause::BadEndRecord, "end record before its central directory");
    frontBytes_ = endPosition_ - directoryEnd;
    directoryPosition_ = frontBytes_ + end_.directoryOffset;

    // Every header must lie whole inside the directory the end record announces.
    headerPositions_.reserve(end_.entriesTotal);
    uint64_t at = directoryPosition_;
    uint8_t fixed[kCentralHeaderSize];
    for (unsigned i = 0; i < end_.entriesTotal; ++i) {
        CentralHeader header;
        if (endPosition_ - at < kCentralHeaderSize)
            throw CZipException(ZipCause::BadDirectory, "central directory too short");
        if (!stream_.ReadAt(at, fixed, sizeof fixed))
            throw CZipException(ZipCause::ReadFailed, "central directory unreadable");
        if (!DecodeCentralHeader(fixed, header))
            throw CZipException(ZipCause::BadDirectory, "central header signature missing");
        if (header.TotalSize() > endPosition_ - at)
            throw CZipException(ZipCause::BadDirectory, "central header overruns the directory");
        headerPositions_.push_back(at);
        at += header.TotalSize();
    }
}

ZipEntry ZipDirectory::Entry(size_t index) const {
    ZipEntry entry;
    uint8_t fixed[kCentralHeaderSize];
    const uint64_t at = headerPositions_.at(index);
    if (!stream_.ReadAt(at, fixed, sizeof fixed) || !DecodeCentralHeader(fixed, entry.header))
        throw CZipException(ZipCause::BadDirectory, "central header unreadable");
    entry.name.resize(entry.header.nameLength);
    entry.extra.resize(entry.header.extraLength);
    if (entry.header.TotalSize() > endPosition_ - at ||
        (!entry.name.empty() && stream_.Read(&entry.name[0], entry.name.size()) != entry.name.size()) ||
        (!entry.extra.empty() && stream_.Read(entry.extra.data(), entry.extra.size()) != entry.extra.size()))
        throw CZipException(ZipCause::BadDirectory, "central header unreadable");
    entry.localHeaderPosition = frontBytes_ + entry.header.localHeaderOffset;
    return entry;
}

}  // namespace zip
