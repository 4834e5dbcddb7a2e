#include "common/zip/file_stream.h"

#include <cstring>

#include "common/text.h"

namespace {

FILE *OpenFile(const std::wstring &path, FileStream::Mode mode) {
    const char *how = mode == FileStream::Mode::Read ? "rb"
                      : mode == FileStream::Mode::CreateAlways ? "w+b" : "r+b";
#ifdef _WIN32
    std::wstring wideHow(how, how + strlen(how));
    return _wfopen(path.c_str(), wideHow.c_str());
#else
    return fopen(NarrowUtf8(path).c_str(), how);
#endif
}

bool SeekFile(FILE *file, uint64_t position) {
#ifdef _WIN32
    return _fseeki64(file, static_cast<long long>(position), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
#endif
}

}  // namespace

std::unique_ptr<FileStream> FileStream::Open(const std::wstring &path, Mode mode) {
    FILE *file = OpenFile(path, mode);
    if (!file) return nullptr;
    std::unique_ptr<FileStream> stream(new FileStream(file));
#ifdef _WIN32
    if (_fseeki64(file, 0, SEEK_END) != 0) return nullptr;
    long long end = _ftelli64(file);
#else
    if (fseeko(file, 0, SEEK_END) != 0) return nullptr;
    long long end = ftello(file);
#endif
    if (end < 0 || !SeekFile(file, 0)) return nullptr;
    stream->size_ = static_cast<uint64_t>(end);
    return stream;
}

FileStream::FileStream(FILE *file) : file_(file) {
    // Entries stream through buffers of their own; a larger C buffer saves calls.
    setvbuf(file_, nullptr, _IOFBF, 1 << 16);
}

FileStream::~FileStream() { fclose(file_); }

size_t FileStream::Read(void *buffer, size_t count) {
    if (last_ == Last::Write && !SeekFile(file_, position_)) return 0;
    last_ = Last::Read;
    size_t got = fread(buffer, 1, count, file_);
    position_ += got;
    return got;
}

bool FileStream::Write(const void *data, size_t count) {
    if (last_ == Last::Read && !SeekFile(file_, position_)) return false;
    last_ = Last::Write;
    size_t put = fwrite(data, 1, count, file_);
    position_ += put;
    if (position_ > size_) size_ = position_;
    return put == count;
}

bool FileStream::Seek(uint64_t position) {
    if (!SeekFile(file_, position)) return false;
    position_ = position;
    last_ = Last::None;
    return true;
}

uint64_t FileStream::Tell() const { return position_; }
uint64_t FileStream::Size() const { return size_; }

bool FileStream::Flush() { return fflush(file_) == 0; }

#ifdef _WIN32
#include <io.h>
bool FileStream::Truncate() {
    fflush(file_);
    if (_chsize_s(_fileno(file_), static_cast<long long>(position_)) != 0) return false;
    size_ = position_;
    return true;
}
#else
#include <unistd.h>
bool FileStream::Truncate() {
    fflush(file_);
    if (ftruncate(fileno(file_), static_cast<off_t>(position_)) != 0) return false;
    size_ = position_;
    return true;
}
#endif
