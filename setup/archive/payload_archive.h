#ifndef SETUP_ARCHIVE_PAYLOAD_ARCHIVE_H
#define SETUP_ARCHIVE_PAYLOAD_ARCHIVE_H

#include <windows.h>

#include "setup/archive/archive_result.h"

// The setup wizard's archive interface: read the ZIP archive at the end of a
// file (a payload or an uninstall record), extract entries in chunks with a
// stop request, and append an archive after a marker. Results are the codes of
// archive_result.h.

// What the source or target argument is.
enum ArchiveIoKind {
    kArchiveHandle = 1,  // an open file handle (HANDLE)
    kArchivePath = 2,    // a path (const wchar_t *)
    kArchiveMemory = 3,  // a memory block of `length` bytes
};

struct ArchiveEntry {
    LONG index;                 // for the request -1: the number of entries
    WCHAR name[260];            // at most 259 characters
    DWORD attributes;           // FILE_ATTRIBUTE_*
    FILETIME accessTime, creationTime, modificationTime;
    LONG compressedSize;
    LONG uncompressedSize;
};

struct ArchiveRecord;
typedef ArchiveRecord *ArchiveHandle;

// Receives the number of bytes just written and the caller's data; false stops.
typedef bool (*ArchiveChunkCallback)(DWORD bytesWritten, void *data);

// Null when the source cannot be opened or holds no acceptable archive at its
// end (the result stays in LastReaderResult). `offset` is not needed: the
// archive is found from the end of the file.
ArchiveHandle OpenArchive(const void *source, DWORD length, DWORD offset, int kind);
DWORD GetEntry(ArchiveHandle archive, int index, ArchiveEntry *entry);
// `events` is null or {stop request, acknowledgement}; only the first is used.
DWORD ExtractEntry(ArchiveHandle archive, int index, const void *target, DWORD length, int kind,
                   const HANDLE *events, ArchiveChunkCallback callback, void *callbackData);
// A writer first writes its central directory and end record; a file the
// caller handed in stays open.
DWORD CloseArchive(ArchiveHandle archive);

// A writer whose archive follows the reversed ANSI form of `markerId`. With a
// file handle the marker goes at the file's end. Without one, `path` is
// created and `programFile` (null: this program's own file) copied into it
// first; the writer then owns the file. Every stored offset counts from the
// start of the file. Null on failure (LastWriterResult says why).
ArchiveHandle CreateArchiveAppended(const wchar_t *path, HANDLE file, const wchar_t *markerId,
                                    const wchar_t *programFile = nullptr);
// An empty folder entry; "\" become "/" and a trailing "/" is added.
DWORD AddFolderEntry(ArchiveHandle archive, const wchar_t *name);
// An entry with data from a path, a handle or memory; deflated unless the name
// is of an already compressed format or deflate does not pay.
DWORD AddDataEntry(ArchiveHandle archive, const wchar_t *name, const void *source, DWORD length,
                   int kind);

DWORD LastReaderResult();
DWORD LastWriterResult();

#endif
