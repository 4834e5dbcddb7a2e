#include "updater/transfer/zip_reader_win.h"

#include <new>

#include "common/ansi_text_win.h"
#include "common/folders.h"
#include "common/zip/entry_file_win.h"
#include "common/zip/entry_path.h"
#include "common/zip/handle_stream_win.h"
#include "common/zip/zip_attributes.h"
#include "common/zip/zip_error.h"

namespace {

bool StopRequested(const HANDLE *events) {
    return events && events[0] && WaitForSingleObject(events[0], 0) == WAIT_OBJECT_0;
}

// The entry's date and time as last-write time (the DOS fields are local
// time; the file system keeps UTC), now as creation and access time.
EntryFileStamp PackageStamp(const ZipFileHeader &header) {
    EntryFileStamp stamp;
    FILETIME now, local;
    GetSystemTimeAsFileTime(&now);
    stamp.creation = stamp.access = now;
    if (!DosDateTimeToFileTime(header.dosDate, header.dosTime, &local) ||
        !LocalFileTimeToFileTime(&local, &stamp.lastWrite))
        stamp.lastWrite = now;
    stamp.attributes = header.attributes;
    return stamp;
}

}  // namespace

CZipReader::CZipReader() : ZipArchiveReader(WidenAnsi) {}

void CZipReader::Open(const std::wstring &archivePath) {
    HANDLE file = CreateFileW(archivePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw CZipException(ZipCause::OpenFailed, "archive cannot be opened");
    Open(std::unique_ptr<ByteStream>(new HandleStream(file, true)));
}

int CZipReader::CloseEntry(const std::wstring &path, bool afterError) {
    const ZipFileHeader header = OpenedHeader();
    const int r = CloseEntry(afterError);
    if (r != 1 || path.empty()) return r;
    return StampEntryFile(path, PackageStamp(header)) ? 1 : -2;
}

int CZipReader::ExtractEntry(int index, const std::wstring &destination, const HANDLE *events,
                             ZipProgressCallback callback, void *callbackData, DWORD bufferSize) {
    if (bufferSize == 0 || destination.empty()) return 1;
    ZipFileHeader header;
    std::wstring target;
    if (!GetFileInfo(index, header) || !BuildEntryTarget(destination, header.fileName, target)) return 1;
    try {
        if (buffer_.size() != bufferSize) buffer_.assign(bufferSize, 0);
    } catch (const std::bad_alloc &) {
        return 1;
    }
    if (header.attributes & file_attribute::kDirectory) return ExtractFolder(header, target, events);
    return ExtractFile(index, target, events, callback, callbackData);
}

int CZipReader::ExtractFolder(const ZipFileHeader &header, const std::wstring &target,
                              const HANDLE *events) {
    if (StopRequested(events)) return -1;
    if (!CreateFolderPath(target)) return 1;
    if (StopRequested(events)) return -1;
    SetFileAttributesW(target.c_str(), SettableFileAttributes(header.attributes));
    return 0;
}

int CZipReader::ExtractFile(int index, const std::wstring &target, const HANDLE *events,
                            ZipProgressCallback callback, void *callbackData) {
    try {
        if (!OpenEntry(index)) return 1;
        if (StopRequested(events)) {
            ZipArchiveReader::CloseEntry(true);
            return -1;
        }
        // Targets come from BuildEntryTarget, so their folders may be made;
        // an earlier copy of a package file is replaced whatever it is.
        const EntryFileRules rules{true, true};
        const EntryFileResult result =
            WriteEntryFile(target, PackageStamp(OpenedHeader()), rules, [&](ByteStream &out) {
                zip::ChunkOutcome outcome = CopyOpenEntry(
                    out, buffer_.data(), buffer_.size(), [events] { return StopRequested(events); },
                    [&](uint32_t n) { return !callback || callback(DWORD(index), n, callbackData); });
                // The stream's end and the checksum before the file takes the
                // entry's stamp: a damaged entry throws here.
                if (outcome == zip::ChunkOutcome::Finished && ZipArchiveReader::CloseEntry(false) != 1)
                    outcome = zip::ChunkOutcome::WriteFailed;
                return outcome;
            });
        ZipArchiveReader::CloseEntry(true);
        switch (result) {
        case EntryFileResult::Written: return 0;
        case EntryFileResult::Stopped: return -1;
        case EntryFileResult::Declined:
        case EntryFileResult::Failed: break;
        }
        return 1;
    } catch (const CZipException &) {
        ZipArchiveReader::CloseEntry(true);
        return 1;
    } catch (const std::bad_alloc &) {
        ZipArchiveReader::CloseEntry(true);
        return 1;
    }
}
