#include "setup/archive/payload_archive.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <string>

#include "common/ansi_text_win.h"
#include "common/folders.h"
#include "common/paths.h"
#include "common/system_folders.h"
#include "common/text.h"
#include "common/zip/handle_stream_win.h"
#include "common/zip/zip_attributes.h"
#include "setup/archive/extract_target.h"
#include "setup/archive/payload_reader.h"
#include "setup/archive/payload_writer.h"

using namespace archive_result;

struct ArchiveRecord {
    enum Kind { Reader = 1, Writer = 2 } kind;
    std::unique_ptr<PayloadReader> reader;
    std::unique_ptr<HandleStream> out;
    std::unique_ptr<PayloadWriter> writer;
};

namespace {

std::atomic<DWORD> g_lastReader{0};
std::atomic<DWORD> g_lastWriter{0};

DWORD ReaderResult(DWORD r) { return g_lastReader = r; }
DWORD WriterResult(DWORD r) { return g_lastWriter = r; }

FILETIME ToFileTime(uint64_t ticks) {
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return ft;
}

bool IsDiskFile(HANDLE file) { return GetFileType(file) == FILE_TYPE_DISK; }

// The stream for a source of the given kind; `result` says why there is none.
std::unique_ptr<ByteStream> OpenSource(const void *source, DWORD length, int kind, DWORD &result) {
    result = kOk;
    switch (kind) {
    case kArchivePath: {
        if (!source || !*static_cast<const wchar_t *>(source)) break;
        HANDLE file = CreateFileW(static_cast<const wchar_t *>(source), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            result = kOpenFailed;
            return nullptr;
        }
        return std::unique_ptr<ByteStream>(new HandleStream(file, true));
    }
    case kArchiveHandle: {
        HANDLE copy = nullptr;
        HANDLE given = const_cast<HANDLE>(source);
        if (!given || given == INVALID_HANDLE_VALUE) break;
        if (!DuplicateHandle(GetCurrentProcess(), given, GetCurrentProcess(), &copy, 0, FALSE,
                             DUPLICATE_SAME_ACCESS)) {
            result = kDuplicateFailed;
            return nullptr;
        }
        if (!IsDiskFile(copy)) {
            CloseHandle(copy);
            result = kNotDiskFile;
            return nullptr;
        }
        return std::unique_ptr<ByteStream>(new HandleStream(copy, true));
    }
    case kArchiveMemory:
        if (!source || length == 0) {
            result = kMemoryTooSmall;
            return nullptr;
        }
        return std::unique_ptr<ByteStream>(new MemoryReadStream(source, length));
    default: break;
    }
    result = kBadArguments;
    return nullptr;
}

DWORD CheckHandle(ArchiveHandle archive, ArchiveRecord::Kind kind) {
    if (!archive) return kBadArguments;
    if (archive->kind != kind) return kWrongKind;
    return kOk;
}

zip::ZipEntryMeta MetaNow() {
    FILETIME now, local;
    GetSystemTimeAsFileTime(&now);
    uint64_t ticks = static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    zip::ZipEntryMeta meta;
    meta.modificationTime = static_cast<uint32_t>(ticks / 10000000 - 11644473600ull);
    WORD dosDate = 0, dosTime = 0;
    if (FileTimeToLocalFileTime(&now, &local) && FileTimeToDosDateTime(&local, &dosDate, &dosTime)) {
        meta.dosDate = dosDate;
        meta.dosTime = dosTime;
    }
    return meta;
}

}  // namespace

ArchiveHandle OpenArchive(const void *source, DWORD length, DWORD /*offset*/, int kind) {
    DWORD result = kOk;
    std::unique_ptr<ByteStream> stream = OpenSource(source, length, kind, result);
    if (!stream) {
        ReaderResult(result);
        return nullptr;
    }
    std::unique_ptr<PayloadReader> reader = PayloadReader::Open(std::move(stream), WidenAnsi);
    if (!reader) {
        ReaderResult(kOpenFailed);
        return nullptr;
    }
    ArchiveHandle archive =
        new (std::nothrow) ArchiveRecord{ArchiveRecord::Reader, std::move(reader), nullptr, nullptr};
    ReaderResult(archive ? kOk : kNoMemory);
    return archive;
}

DWORD GetEntry(ArchiveHandle archive, int index, ArchiveEntry *entry) {
    if (DWORD r = CheckHandle(archive, ArchiveRecord::Reader)) return ReaderResult(r);
    if (!entry) return ReaderResult(kBadArguments);
    PayloadEntryInfo info;
    DWORD r = archive->reader->GetEntry(index, info);
    if (r != kOk) return ReaderResult(r);
    ZeroMemory(entry, sizeof *entry);
    entry->index = info.index;
    size_t n = std::min(info.name.size(), kMaxEntryNameChars);
    std::copy(info.name.begin(), info.name.begin() + static_cast<std::ptrdiff_t>(n), entry->name);
    entry->name[n] = L'\0';
    entry->attributes = info.attributes;
    if (index != -1) {
        entry->accessTime = ToFileTime(info.accessTime);
        entry->creationTime = ToFileTime(info.creationTime);
        entry->modificationTime = ToFileTime(info.modificationTime);
    }
    entry->compressedSize = info.compressedSize;
    entry->uncompressedSize = info.uncompressedSize;
    return ReaderResult(kOk);
}

DWORD ExtractEntry(ArchiveHandle archive, int index, const void *target, DWORD length, int kind,
                   const HANDLE *events, ArchiveChunkCallback callback, void *callbackData) {
    if (DWORD r = CheckHandle(archive, ArchiveRecord::Reader)) return ReaderResult(r);
    PayloadEntryInfo info;
    if (index < 0) return ReaderResult(kBadArguments);
    if (DWORD r = archive->reader->GetEntry(index, info)) return ReaderResult(r);
    std::function<bool()> stop;
    if (events && events[0])
        stop = [events] { return WaitForSingleObject(events[0], 0) == WAIT_OBJECT_0; };
    const bool folder = (info.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    ChunkCallback chunk;
    if (callback) chunk = [callback, callbackData](uint32_t n) { return callback(n, callbackData); };

    if (kind == kArchiveMemory) {
        if (!target) return ReaderResult(kBadArguments);
        FixedMemoryStream memory(const_cast<void *>(target), length);
        return ReaderResult(archive->reader->Extract(index, memory, true, stop, chunk));
    }
    if (kind == kArchiveHandle) {
        HANDLE file = const_cast<HANDLE>(target);
        if (!file || file == INVALID_HANDLE_VALUE) return ReaderResult(kBadArguments);
        if (folder) return ReaderResult(kOk);
        HandleStream out(file, false);
        DWORD r = archive->reader->Extract(index, out, false, stop, chunk);
        if (r == kOk && IsDiskFile(file)) {
            FILETIME c = ToFileTime(info.creationTime), a = ToFileTime(info.accessTime),
                     m = ToFileTime(info.modificationTime);
            SetFileTime(file, &c, &a, &m);
        }
        return ReaderResult(r);
    }
    if (kind != kArchivePath || !target || !*static_cast<const wchar_t *>(target))
        return ReaderResult(kBadArguments);

    const std::wstring path = static_cast<const wchar_t *>(target);
    if (folder) {
        CreateFolderPath(path);
        return ReaderResult(kOk);
    }
    if (IsContainedRelativeTarget(path)) {
        const std::wstring normal = NormaliseLocalPath(path);
        const int slash = FindLastChar(normal, L'\\');
        if (slash > 0) CreateFolderPath(normal.substr(0, static_cast<size_t>(slash)));
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              SettableFileAttributes(info.attributes), nullptr);
    if (file == INVALID_HANDLE_VALUE) return ReaderResult(kOpenFailed);
    HandleStream out(file, true);
    DWORD r = archive->reader->Extract(index, out, false, stop, chunk);
    if (r == kOk) {
        FILETIME c = ToFileTime(info.creationTime), a = ToFileTime(info.accessTime),
                 m = ToFileTime(info.modificationTime);
        SetFileTime(file, &c, &a, &m);
    }
    return ReaderResult(r);
}

DWORD CloseArchive(ArchiveHandle archive) {
    if (!archive) return kBadArguments;
    std::unique_ptr<ArchiveRecord> owned(archive);
    if (archive->kind == ArchiveRecord::Reader) return ReaderResult(kOk);
    return WriterResult(archive->writer->Close());
}

ArchiveHandle CreateArchiveAppended(const wchar_t *path, HANDLE file, const wchar_t *markerId,
                                    const wchar_t *programFile) {
    if (!markerId || !*markerId) {
        WriterResult(kBadArguments);
        return nullptr;
    }
    std::string marker = NarrowAnsi(markerId);
    std::reverse(marker.begin(), marker.end());
    std::unique_ptr<HandleStream> out;
    if (file && file != INVALID_HANDLE_VALUE) {
        out.reset(new HandleStream(file, false));
    } else {
        if (!path || !*path) {
            WriterResult(kBadArguments);
            return nullptr;
        }
        const std::wstring self = programFile ? std::wstring() : GetProgramFile();
        if (!programFile) programFile = self.c_str();
        HANDLE program = CreateFileW(programFile, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (program == INVALID_HANDLE_VALUE) {
            WriterResult(kOpenFailed);
            return nullptr;
        }
        HandleStream from(program, true);
        HANDLE created = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE) {
            WriterResult(kOpenFailed);
            return nullptr;
        }
        out.reset(new HandleStream(created, true));
        char block[1024];
        for (size_t n; (n = from.Read(block, sizeof block)) > 0;) {
            if (!out->Write(block, n)) {
                WriterResult(kWriteFailed);
                return nullptr;
            }
        }
    }
    if (!out->SeekToEnd() || !out->Write(marker.data(), marker.size())) {
        WriterResult(kWriteFailed);
        return nullptr;
    }
    std::unique_ptr<PayloadWriter> writer(new (std::nothrow) PayloadWriter(*out));
    ArchiveHandle archive =
        writer ? new (std::nothrow) ArchiveRecord{ArchiveRecord::Writer, nullptr, std::move(out), std::move(writer)}
               : nullptr;
    WriterResult(archive ? kOk : kNoMemory);
    return archive;
}

DWORD AddFolderEntry(ArchiveHandle archive, const wchar_t *name) {
    if (DWORD r = CheckHandle(archive, ArchiveRecord::Writer)) return WriterResult(r);
    if (!name || !*name) return WriterResult(kBadArguments);
    return WriterResult(archive->writer->AddFolderEntry(NarrowAnsi(name), MetaNow()));
}

DWORD AddDataEntry(ArchiveHandle archive, const wchar_t *name, const void *source, DWORD length,
                   int kind) {
    if (DWORD r = CheckHandle(archive, ArchiveRecord::Writer)) return WriterResult(r);
    if (!name || !*name) return WriterResult(kBadArguments);
    DWORD result = kOk;
    std::unique_ptr<ByteStream> stream = OpenSource(source, length, kind, result);
    if (!stream) return WriterResult(result);
    if (kind == kArchiveHandle) stream->Seek(0);
    return WriterResult(archive->writer->AddDataEntry(NarrowAnsi(name), *stream, MetaNow()));
}

DWORD LastReaderResult() { return g_lastReader; }
DWORD LastWriterResult() { return g_lastWriter; }
