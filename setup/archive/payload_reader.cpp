#include "setup/archive/payload_reader.h"

#include <new>
#include <vector>

#include "common/zip/zip_entry_reader.h"
#include "common/zip/zip_error.h"
#include "setup/archive/archive_result.h"

using namespace archive_result;

uint32_t MapExternalAttributes(uint32_t a) {
    uint32_t result = file_attribute::kNormal;
    if (a & (1u << 30) || a & (1u << 4)) result |= file_attribute::kDirectory;
    if (a & (1u << 5)) result |= file_attribute::kArchive;
    if (a & (1u << 1)) result |= file_attribute::kHidden;
    if (!(a & (1u << 23)) || a & 1u) result |= file_attribute::kReadOnly;
    if (a & (1u << 2)) result |= file_attribute::kSystem;
    return result;
}

std::wstring DecodeNameLatin1(const std::string &bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (unsigned char c : bytes) text.push_back(static_cast<wchar_t>(c));
    return text;
}

namespace {

uint32_t ResultOf(const CZipException &e) {
    switch (e.Cause()) {
    case ZipCause::BadLocalHeader:
    case ZipCause::ReadFailed: return kBadLocalHeader;
    case ZipCause::BadExtraField: return kBadExtraField;
    case ZipCause::InflateInit: return kInflateInternal;
    default: return kWriteFailed;
    }
}

}  // namespace

PayloadReader::PayloadReader(std::unique_ptr<ByteStream> source, NameDecoder decoder)
    : source_(std::move(source)), directory_(*source_), decoder_(decoder ? decoder : DecodeNameLatin1) {}

std::unique_ptr<PayloadReader> PayloadReader::Open(std::unique_ptr<ByteStream> source,
                                                   NameDecoder decoder) {
    if (!source) return nullptr;
    try {
        return std::unique_ptr<PayloadReader>(new PayloadReader(std::move(source), decoder));
    } catch (const CZipException &) {
        return nullptr;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

uint32_t PayloadReader::GetEntry(int index, PayloadEntryInfo &out) {
    if (index == -1) {
        out = PayloadEntryInfo();
        out.index = Count();
        return kOk;
    }
    if (index < 0 || index >= Count()) return kBadArguments;
    if (index == cachedIndex_) {
        out = cached_;
        return kOk;
    }
    try {
        zip::ZipEntry entry = directory_.Entry(static_cast<size_t>(index));
        zip::LocalEntryInfo local = zip::ReadLocalHeader(*source_, directory_, entry);
        PayloadEntryInfo info;
        info.index = index;
        info.name = decoder_(entry.name);
        if (info.name.size() > kMaxEntryNameChars) info.name.resize(kMaxEntryNameChars);
        info.attributes = MapExternalAttributes(entry.header.externalAttributes);
        zip::FileTimeTicks dos = 0;
        zip::DosToFileTime(entry.header.dosDate, entry.header.dosTime, dos);
        const zip::ExtendedTimes &ut = local.times;
        info.modificationTime = ut.hasModification ? zip::UnixToFileTime(ut.modification) : dos;
        info.accessTime = ut.hasAccess ? zip::UnixToFileTime(ut.access) : dos;
        info.creationTime = ut.hasCreation ? zip::UnixToFileTime(ut.creation) : dos;
        info.compressedSize = static_cast<int32_t>(entry.header.compressedSize);
        info.uncompressedSize = static_cast<int32_t>(entry.header.uncompressedSize);
        cached_ = info;
        cachedIndex_ = index;
        out = info;
        return kOk;
    } catch (const CZipException &e) {
        return ResultOf(e);
    } catch (const std::bad_alloc &) {
        return kNoMemory;
    }
}

uint32_t PayloadReader::Extract(int index, ByteStream &target, bool memoryTarget,
                                const std::function<bool()> &stopRequested,
                                const ChunkCallback &callback) {
    if (index < 0 || index >= Count()) return kBadArguments;
    try {
        zip::ZipEntry entry = directory_.Entry(static_cast<size_t>(index));
        if (MapExternalAttributes(entry.header.externalAttributes) & file_attribute::kDirectory)
            return kOk;
        zip::ZipEntryReader reader(*source_, directory_, entry);
        std::vector<uint8_t> chunk(kExtractChunkBytes);
        for (;;) {
            if (stopRequested && stopRequested()) return kStopped;
            size_t n = reader.Read(chunk.data(), chunk.size());
            if (n == 0) return kOk;
            // A memory block that is full has more data coming; a file has failed.
            if (!target.Write(chunk.data(), n)) return memoryTarget ? kMoreData : kWriteFailed;
            if (callback && !callback(static_cast<uint32_t>(n))) return kStopped;
        }
    } catch (const CZipException &e) {
        return ResultOf(e);
    } catch (const std::bad_alloc &) {
        return kNoMemory;
    }
}
