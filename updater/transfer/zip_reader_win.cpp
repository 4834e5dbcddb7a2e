#include "updater/transfer/zip_reader_win.h"

#include <new>

#include "common/ansi_text_win.h"
#include "common/folders.h"
#include "common/kernel_handle_win.h"
#include "common/paths.h"
#include "common/system_function_win.h"
#include "common/zip/entry_path.h"
#include "common/zip/handle_stream_win.h"
#include "common/zip/zip_attributes.h"
#include "common/zip/zip_error.h"

namespace {

bool StopRequested(const HANDLE *events) {
    return events && events[0] && WaitForSingleObject(events[0], 0) == WAIT_OBJECT_0;
}

// The DOS fields are local time; the file system keeps UTC.
bool DosToUtc(uint16_t dosDate, uint16_t dosTime, FILETIME &utc) {
    FILETIME local;
    return DosDateTimeToFileTime(dosDate, dosTime, &local) && LocalFileTimeToFileTime(&local, &utc);
}

HANDLE CreateFileAnew(const std::wstring &path) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr);
}

// The entry's file, created anew. The file is tried first and its folders
// made only when they are missing, so the common case costs one call.
// Replacing is the rule: an earlier copy that is read-only, hidden or system
// (on which CREATE_ALWAYS fails) loses those attributes first.
HANDLE CreateTargetFile(const std::wstring &target) {
    HANDLE file = CreateFileAnew(target);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (error == ERROR_PATH_NOT_FOUND) {
        if (!CreateFolderPath(LocalFolderOf(target))) return INVALID_HANDLE_VALUE;
    } else if (error == ERROR_ACCESS_DENIED) {
        const DWORD existing = GetFileAttributesW(target.c_str());
        if (existing == INVALID_FILE_ATTRIBUTES || (existing & FILE_ATTRIBUTE_DIRECTORY) ||
            !SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL))
            return INVALID_HANDLE_VALUE;
    } else {
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileAnew(target);
}

LARGE_INTEGER AsLarge(const FILETIME &time) {
    LARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = static_cast<LONG>(time.dwHighDateTime);
    return value;
}

// FILE_BASIC_INFO and SetFileInformationByHandle (Windows Vista on; looked up
// at run time so that the program still starts on XP).
struct BasicFileInfo {
    LARGE_INTEGER creationTime, lastAccessTime, lastWriteTime, changeTime;
    DWORD fileAttributes;
};
constexpr int kFileBasicInfoClass = 0;
using SetInformationByHandle = BOOL(WINAPI *)(HANDLE, int, void *, DWORD);

SetInformationByHandle FindSetInformationByHandle() {
    static const auto function = FindSystemFunction<SetInformationByHandle>(
        L"kernel32.dll", "SetFileInformationByHandle");
    return function;
}

// The entry's times (last write from the entry, creation and access now) and
// attributes, set through the handle that wrote its
// data in one call where the system can: setting attributes by path costs as
// much as creating the file under Wine. Elsewhere (XP, or no handle) the times
// go through the handle and the attributes by path once it is closed.
bool SetEntryTimesAndAttributes(CKernelHandle &file, const std::wstring &target,
                                const ZipFileHeader &header) {
    FILETIME now, written;
    GetSystemTimeAsFileTime(&now);
    if (!DosToUtc(header.dosDate, header.dosTime, written)) written = now;
    const DWORD attributes = SettableFileAttributes(header.attributes);
    SetInformationByHandle setInformation = FindSetInformationByHandle();
    if (file && setInformation) {
        BasicFileInfo info = {};
        info.creationTime = info.lastAccessTime = AsLarge(now);
        info.lastWriteTime = AsLarge(written);
        info.fileAttributes = attributes;
        if (setInformation(file.Get(), kFileBasicInfoClass, &info, sizeof info)) {
            file.Reset();
            return true;
        }
    }
    if (file) SetFileTime(file.Get(), &now, &now, &written);
    file.Reset();
    return SetFileAttributesW(target.c_str(), attributes) != FALSE;
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
    CKernelHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
    return SetEntryTimesAndAttributes(file, path, header) ? 1 : -2;
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
        CKernelHandle file(CreateTargetFile(target));
        if (!file) {
            ZipArchiveReader::CloseEntry(true);
            return 1;
        }
        zip::ChunkOutcome outcome;
        {
            HandleStream out(file.Get(), false);
            outcome = CopyOpenEntry(
                out, buffer_.data(), buffer_.size(), [events] { return StopRequested(events); },
                [&](uint32_t n) { return !callback || callback(DWORD(index), n, callbackData); });
        }
        if (outcome == zip::ChunkOutcome::Finished) {
            const ZipFileHeader header = OpenedHeader();
            // The checksum first: a damaged entry takes none of the entry's attributes.
            if (ZipArchiveReader::CloseEntry(false) != 1) return 1;
            return SetEntryTimesAndAttributes(file, target, header) ? 0 : 1;
        }
        file.Reset();
        switch (outcome) {
        case zip::ChunkOutcome::Stopped:
            CloseEntry(target, false);
            return -1;
        case zip::ChunkOutcome::WriteFailed:
            // A full disk must not pass for a written file.
            ZipArchiveReader::CloseEntry(true);
            return 1;
        default:
            return CloseEntry(target, false) == 1 ? 0 : 1;
        }
    } catch (const CZipException &) {
        ZipArchiveReader::CloseEntry(true);
        return 1;
    } catch (const std::bad_alloc &) {
        ZipArchiveReader::CloseEntry(true);
        return 1;
    }
}
