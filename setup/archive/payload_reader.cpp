#include "setup/archive/payload_reader.h"

#include <new>
#include <vector>

#include "common/zip/entry_chunks.h"
#include "common/zip/zip_entry_reader.h"
#include "common/zip/zip_error.h"
#include "setup/archive/archive_result.h"

using namespace archive_result;

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
        switch (zip::CopyEntryChunks(reader, target, chunk.data(), chunk.size(), stopRequested, callback)) {
        case zip::ChunkOutcome::Finished: return kOk;
        case zip::ChunkOutcome::Stopped:
        case zip::ChunkOutcome::Declined: return kStopped;
        case zip::ChunkOutcome::WriteFailed:
            // A memory block that is full has more data coming; a file has failed.
            return memoryTarget ? kMoreData : kWriteFailed;
        }
        return kWriteFailed;
    } catch (const CZipException &e) {
        return ResultOf(e);
    } catch (const std::bad_alloc &) {
        return kNoMemory;
    }
}
