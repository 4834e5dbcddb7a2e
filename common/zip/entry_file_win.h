#ifndef COMMON_ZIP_ENTRY_FILE_WIN_H
#define COMMON_ZIP_ENTRY_FILE_WIN_H

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "common/zip/byte_stream.h"
#include "common/zip/entry_chunks.h"

// Writing one archive entry to a file on disk: the one routine both programs
// extract files with. What the file gets besides its data is the caller's
// choice, because the two programs read an entry's attributes and times by
// rules of their own.

// The file's Windows attributes (each program maps the entry's external
// attributes with its own rule) and its three times.
struct EntryFileStamp {
    uint32_t attributes = 0;
    FILETIME creation = {}, access = {}, lastWrite = {};
};

// How the target is created.
struct EntryFileRules {
    // A missing folder chain of the target is made (the caller has checked
    // that the target lies where it may write).
    bool makeFolders = false;
    // An earlier file that is read-only, hidden or system loses those
    // attributes so that it can be replaced; otherwise such a file fails.
    bool replaceProtected = false;
};

enum class EntryFileResult {
    Written,   // every byte written and checked; times and attributes set
    Stopped,   // the stop test ended the copy before a chunk
    Declined,  // the chunk notice answered false
    Failed,    // the file could not be created, written or stamped
};

// Creates `target` anew (write access, no sharing), lets `copy` write the
// entry's data into it and, when the copy finished, sets the stamp through the
// same handle in one call where the system can (Vista on), else the times
// through the handle and the attributes by path. A file that was not finished
// keeps no stamp. CZipException from `copy` passes through; the file is closed.
EntryFileResult WriteEntryFile(const std::wstring &target, const EntryFileStamp &stamp,
                               const EntryFileRules &rules,
                               const std::function<zip::ChunkOutcome(ByteStream &out)> &copy);

// Sets the stamp on an existing file by path (a file written elsewhere).
// False when it could not be set.
bool StampEntryFile(const std::wstring &target, const EntryFileStamp &stamp);

#endif
