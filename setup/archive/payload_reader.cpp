#include "setup/archive/payload_reader.h"

#include <vector>

#include "common/zip/zip_entry_reader.h"
#include "common/zip/zip_error.h"

namespace {

// The directory needs a stream to exist before the reader's members are made.
ByteStream &Checked(const std::unique_ptr<ByteStream> &source) {
    if (!source) throw CZipException(ZipCause::OpenFailed, "no payload source");
    return *source;
}

}  // namespace

PayloadReader::PayloadReader(std::unique_ptr<ByteStream> source, NameDecoder decoder)
    : source_(std::move(source)), directory_(Checked(source_)), decoder_(decoder ? decoder : DecodeNameLatin1) {}

zip::ZipEntry PayloadReader::Directory(int index) const {
    if (index < 0 || index >= Count()) throw CZipException(ZipCause::NoSuchEntry, "no such entry");
    return directory_.Entry(static_cast<size_t>(index));
}

const PayloadEntryInfo &PayloadReader::Entry(int index) {
    if (index == cachedIndex_) return cached_;
    const zip::ZipEntry entry = Directory(index);
    const zip::LocalEntryInfo local = zip::ReadLocalHeader(*source_, directory_, entry);
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
    info.compressedSize = entry.header.compressedSize;
    info.uncompressedSize = entry.header.uncompressedSize;
    cached_ = std::move(info);
    cachedIndex_ = index;
    return cached_;
}

zip::ChunkOutcome PayloadReader::Extract(int index, ByteStream &target, const zip::StopTest &stop,
                                         const zip::ChunkNotice &notice) {
    const zip::ZipEntry entry = Directory(index);
    if (MapExternalAttributes(entry.header.externalAttributes) & file_attribute::kDirectory)
        return zip::ChunkOutcome::Finished;
    zip::ZipEntryReader reader(*source_, directory_, entry);
    std::vector<uint8_t> chunk(kExtractChunkBytes);
    return zip::CopyEntryChunks(reader, target, chunk.data(), chunk.size(), stop, notice);
}
