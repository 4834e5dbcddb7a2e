#ifndef COMMON_ZIP_ZIP_ERROR_H
#define COMMON_ZIP_ZIP_ERROR_H

#include <stdexcept>

// Why a ZIP operation failed. The readers on top map causes to their own
// result codes; nothing here is shown to a user.
enum class ZipCause {
    NoEndRecord,        // no end-of-central-directory record in the searched tail
    BadEndRecord,       // multi-volume, disagreeing counts, directory out of place
    BadDirectory,       // a central header is missing, damaged or overruns the directory
    BadLocalHeader,     // local header missing, damaged or outside the archive
    BadExtraField,      // the local extra field cannot be read
    UnsupportedMethod,  // neither stored nor deflated
    Encrypted,
    BadData,            // deflate stream damaged or ends early, sizes disagree
    CrcMismatch,
    InflateInit,        // zlib could not start
    ReadFailed,         // the stream under the archive came up short
    WriteFailed,
    TooLarge,           // beyond what a ZIP without ZIP64 can hold
    WriterClosed,
    OpenFailed,         // the archive's file cannot be opened
    NoSuchEntry,        // an entry index outside the directory
    EmptyName,          // a writer was given no entry name
};

class CZipException : public std::runtime_error {
public:
    CZipException(ZipCause cause, const char *what) : std::runtime_error(what), cause_(cause) {}
    ZipCause Cause() const { return cause_; }

private:
    ZipCause cause_;
};

#endif
