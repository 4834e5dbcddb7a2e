#ifndef COMMON_ZIP_HANDLE_STREAM_WIN_H
#define COMMON_ZIP_HANDLE_STREAM_WIN_H

#include <windows.h>

#include "common/kernel_handle_win.h"
#include "common/zip/byte_stream.h"

// A Win32 file handle as a byte stream. With `owns` the handle is closed with
// the stream; otherwise the caller keeps it (and its file position moves).
class HandleStream final : public ByteStream {
public:
    HandleStream(HANDLE file, bool owns);
    ~HandleStream() override;

    size_t Read(void *buffer, size_t count) override;
    bool Write(const void *data, size_t count) override;
    bool Seek(uint64_t position) override;
    uint64_t Tell() const override { return position_; }
    uint64_t Size() const override;
    bool Truncate() override;
    HANDLE Handle() const { return file_; }

private:
    HANDLE file_;
    CKernelHandle owned_;  // file_ again when the stream owns it
    uint64_t position_ = 0;
};

#endif
