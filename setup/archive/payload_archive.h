#ifndef SETUP_ARCHIVE_PAYLOAD_ARCHIVE_H
#define SETUP_ARCHIVE_PAYLOAD_ARCHIVE_H

#include <windows.h>

#include <memory>
#include <string>

#include "common/zip/entry_chunks.h"
#include "common/zip/entry_file_win.h"
#include "common/zip/handle_stream_win.h"
#include "setup/archive/payload_reader.h"
#include "setup/archive/payload_writer.h"

// The setup wizard's archives on Windows: the payload or the uninstall record
// at the end of a file the caller holds open, one entry written to a path,
// and the uninstall record appended after its marker. Failures are
// CZipException, as everywhere in the ZIP code.

// The archive at the end of `file`, read through that handle with names in
// the ANSI code page. The caller keeps the handle open while the reader lives
// and reads nothing else through it meanwhile.
std::unique_ptr<PayloadReader> OpenPayloadArchive(HANDLE file);

// Writes entry `index` to `target`. A folder entry makes its folder chain. A
// file is created anew with the entry's attributes and times; the folders of
// a relative target without "..\" or "../" are made below the current folder,
// other targets' folders are the caller's. A signalled `stopEvent` (may be
// null) stops before the next chunk. Damaged data throws CZipException.
EntryFileResult ExtractPayloadEntry(PayloadReader &reader, int index, const std::wstring &target,
                                    HANDLE stopEvent, const zip::ChunkNotice &notice);

// The uninstall record: the reversed ANSI form of the marker identifier at the
// end of `file` (which the caller keeps open and closes), then an archive of
// folder entries dated now whose offsets count from the file's start.
class CRecordAppender {
public:
    // Throws CZipException (WriteFailed) when the marker cannot be written.
    CRecordAppender(HANDLE file, const std::wstring &markerId);
    CRecordAppender(const CRecordAppender &) = delete;
    CRecordAppender &operator=(const CRecordAppender &) = delete;

    // "\" become "/" and a trailing "/" is added.
    void AddFolderEntry(const std::wstring &name);
    // Writes the central directory and the end record.
    void Close();

private:
    HandleStream out_;
    std::unique_ptr<PayloadWriter> writer_;
};

#endif
