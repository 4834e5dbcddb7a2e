#ifndef COMMON_ZIP_FILE_STREAM_H
#define COMMON_ZIP_FILE_STREAM_H

#include <cstdio>
#include <memory>
#include <string>

#include "common/zip/byte_stream.h"

// A disk file through the C runtime (both builds; wide paths on Windows).
// The Win32 programs use HandleStream instead, which works on open handles.
class FileStream final : public ByteStream {
public:
    enum class Mode { Read, CreateAlways, ReadWrite };
    // Null when the file cannot be opened.
    static std::unique_ptr<FileStream> Open(const std::wstring &path, Mode mode);
    ~FileStream() override;

    size_t Read(void *buffer, size_t count) override;
    bool Write(const void *data, size_t count) override;
    bool Seek(uint64_t position) override;
    uint64_t Tell() const override;
    uint64_t Size() const override;
    bool Flush() override;
    bool Truncate() override;

private:
    explicit FileStream(FILE *file);
    FILE *file_;
    // Whether the next call changes direction (C streams need a seek in between).
    enum class Last { None, Read, Write } last_ = Last::None;
    uint64_t position_ = 0;
    uint64_t size_ = 0;
};

#endif
