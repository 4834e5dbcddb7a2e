#ifndef UPDATER_TRANSFER_ZIP_READER_WIN_H
#define UPDATER_TRANSFER_ZIP_READER_WIN_H

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/zip/zip_archive_reader.h"

// Called after every block written: (the entry's index, bytes written in this
// block, the caller's data); false stops reading the entry, which then fails.
typedef bool (*ZipProgressCallback)(DWORD index, DWORD bytesWritten, void *data);

// The update manager's package reader: the portable reader with the archive
// opened from a path, names in the ANSI code page, and entries written to the
// file system with their time and attributes.
class CZipReader : public ZipArchiveReader {
public:
    CZipReader();

    using ZipArchiveReader::Open;
    using ZipArchiveReader::CloseEntry;
    // Opens an existing archive for reading. Throws CZipException: OpenFailed
    // when the file cannot be opened, other causes when it is no readable ZIP.
    void Open(const std::wstring &archivePath);

    // CloseEntry(afterError), then the file at `path` (unless empty) gets the
    // entry's date and time as last-write time, now as creation and access
    // time, and the entry's attributes: -2 when those cannot be set.
    int CloseEntry(const std::wstring &path, bool afterError);

    // Writes entry `index` below `destination`: 0 done, -1 stopped, 1 failed.
    // `events` is null or {stop request, acknowledgement}; the stop request is
    // tested without waiting before every block. An entry whose name would not
    // name a file inside the destination (see BuildEntryTarget) fails and
    // writes nothing. CZipException never leaves it.
    int ExtractEntry(int index, const std::wstring &destination, const HANDLE *events,
                     ZipProgressCallback callback, void *callbackData, DWORD bufferSize);

private:
    int ExtractFolder(const ZipFileHeader &header, const std::wstring &target, const HANDLE *events);
    int ExtractFile(int index, const std::wstring &target, const HANDLE *events,
                    ZipProgressCallback callback, void *callbackData);

    std::vector<uint8_t> buffer_;
};

#endif
