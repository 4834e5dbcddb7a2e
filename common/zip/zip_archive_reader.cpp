#include "common/zip/zip_archive_reader.h"

#include "common/zip/zip_attributes.h"
#include "common/zip/zip_error.h"

ZipArchiveReader::ZipArchiveReader(NameDecoder decoder)
    : decoder_(decoder ? decoder : DecodeNameLatin1) {}

ZipArchiveReader::~ZipArchiveReader() { Close(true); }

void ZipArchiveReader::Open(std::unique_ptr<ByteStream> archive) {
    Close(true);
    if (!archive) throw CZipException(ZipCause::OpenFailed, "no archive");
    std::unique_ptr<zip::ZipDirectory> directory(new zip::ZipDirectory(*archive, true));
    archive_ = std::move(archive);
    directory_ = std::move(directory);
}

int ZipArchiveReader::GetCount() const {
    return directory_ ? static_cast<int>(directory_->Count()) : 0;
}

bool ZipArchiveReader::GetFileInfo(int index, ZipFileHeader &out) const {
    if (index < 0 || index >= GetCount()) return false;
    try {
        const zip::ZipEntry entry = directory_->Entry(static_cast<size_t>(index));
        const zip::CentralHeader &h = entry.header;
        out.fileName = decoder_(entry.name);
        out.uncompressedSize = h.uncompressedSize;
        out.compressedSize = h.compressedSize;
        out.crc32 = h.crc32;
        out.method = h.method;
        out.flags = h.flags;
        out.dosDate = h.dosDate;
        out.dosTime = h.dosTime;
        out.attributes = MapPackageAttributes(h.versionMadeBy, h.externalAttributes);
        return true;
    } catch (const CZipException &) {
        return false;
    }
}

bool ZipArchiveReader::IsFolder(int index) const {
    ZipFileHeader header;
    return GetFileInfo(index, header) && (header.attributes & file_attribute::kDirectory) != 0;
}

bool ZipArchiveReader::OpenEntry(int index) {
    if (entry_ || !GetFileInfo(index, opened_)) return false;
    if (opened_.flags & zip::kFlagEncrypted) return false;  // no password is ever supplied
    const zip::ZipEntry entry = directory_->Entry(static_cast<size_t>(index));
    try {
        entry_.reset(new zip::ZipEntryReader(*archive_, *directory_, entry));
    } catch (const CZipException &e) {
        if (e.Cause() == ZipCause::Encrypted) return false;  // flagged in the local header only
        throw;
    }
    return true;
}

size_t ZipArchiveReader::ReadEntry(void *buffer, size_t capacity) {
    return entry_ ? entry_->Read(buffer, capacity) : 0;
}

int ZipArchiveReader::CloseEntry(bool afterError) {
    std::unique_ptr<zip::ZipEntryReader> entry = std::move(entry_);
    if (!entry || afterError) return 1;
    if (entry->Remaining() > 0) return -1;
    uint8_t probe;
    entry->Read(&probe, sizeof probe);  // the stream's end and the CRC-32, if not seen yet
    return 1;
}

void ZipArchiveReader::Close(bool afterError) {
    try {
        if (entry_) CloseEntry(afterError);
    } catch (const CZipException &) {
        entry_.reset();
        directory_.reset();
        archive_.reset();
        if (!afterError) throw;
        return;
    }
    directory_.reset();
    archive_.reset();
}

zip::ChunkOutcome ZipArchiveReader::CopyOpenEntry(ByteStream &target, uint8_t *buffer, size_t size,
                                                  const zip::StopTest &stop,
                                                  const zip::ChunkNotice &notice) {
    if (!entry_) return zip::ChunkOutcome::Finished;
    return zip::CopyEntryChunks(*entry_, target, buffer, size, stop, notice);
}
