#include "common/zip/handle_stream_win.h"

#include <algorithm>

HandleStream::HandleStream(HANDLE file, bool owns) : file_(file), owned_(owns ? file : nullptr) {
    LARGE_INTEGER zero{}, now{};
    if (SetFilePointerEx(file_, zero, &now, FILE_CURRENT)) position_ = static_cast<uint64_t>(now.QuadPart);
}

HandleStream::~HandleStream() = default;

size_t HandleStream::Read(void *buffer, size_t count) {
    size_t total = 0;
    while (total < count) {
        DWORD want = static_cast<DWORD>(std::min<size_t>(count - total, 1u << 30)), got = 0;
        if (!ReadFile(file_, static_cast<char *>(buffer) + total, want, &got, nullptr) || got == 0) break;
        total += got;
    }
    position_ += total;
    return total;
}

bool HandleStream::Write(const void *data, size_t count) {
    size_t total = 0;
    while (total < count) {
        DWORD want = static_cast<DWORD>(std::min<size_t>(count - total, 1u << 30)), put = 0;
        if (!WriteFile(file_, static_cast<const char *>(data) + total, want, &put, nullptr) || put == 0) break;
        total += put;
    }
    position_ += total;
    return total == count;
}

bool HandleStream::Seek(uint64_t position) {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(position);
    if (!SetFilePointerEx(file_, to, nullptr, FILE_BEGIN)) return false;
    position_ = position;
    return true;
}

uint64_t HandleStream::Size() const {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file_, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
}

bool HandleStream::Truncate() {
    return Seek(position_) && SetEndOfFile(file_);
}
