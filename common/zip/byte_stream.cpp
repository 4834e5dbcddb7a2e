#include "common/zip/byte_stream.h"

#include <algorithm>
#include <cstring>

bool ByteStream::ReadAt(uint64_t position, void *buffer, size_t count) {
    return Seek(position) && Read(buffer, count) == count;
}

MemoryReadStream::MemoryReadStream(const void *data, size_t size)
    : data_(static_cast<const uint8_t *>(data)), size_(data ? size : 0) {}

size_t MemoryReadStream::Read(void *buffer, size_t count) {
    size_t n = std::min(count, size_ - position_);
    if (n) memcpy(buffer, data_ + position_, n);
    position_ += n;
    return n;
}

bool MemoryReadStream::Seek(uint64_t position) {
    if (position > size_) return false;
    position_ = static_cast<size_t>(position);
    return true;
}

FixedMemoryStream::FixedMemoryStream(void *data, size_t capacity)
    : data_(static_cast<uint8_t *>(data)), capacity_(data ? capacity : 0) {}

size_t FixedMemoryStream::Read(void *buffer, size_t count) {
    size_t n = std::min(count, used_ - position_);
    if (n) memcpy(buffer, data_ + position_, n);
    position_ += n;
    return n;
}

bool FixedMemoryStream::Write(const void *data, size_t count) {
    size_t n = std::min(count, capacity_ - position_);
    if (n) memcpy(data_ + position_, data, n);
    position_ += n;
    used_ = std::max(used_, position_);
    return n == count;
}

bool FixedMemoryStream::Seek(uint64_t position) {
    if (position > capacity_) return false;
    position_ = static_cast<size_t>(position);
    return true;
}

size_t VectorStream::Read(void *buffer, size_t count) {
    size_t left = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
    size_t n = std::min(count, left);
    if (n) memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return n;
}

bool VectorStream::Write(const void *data, size_t count) {
    if (count == 0) return true;
    if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
    memcpy(bytes_.data() + position_, data, count);
    position_ += count;
    return true;
}

bool VectorStream::Seek(uint64_t position) {
    if (position > SIZE_MAX / 2) return false;
    position_ = static_cast<size_t>(position);
    return true;
}

RegionStream::RegionStream(ByteStream &inner, uint64_t offset, uint64_t length)
    : inner_(inner), offset_(offset), length_(length) {
    uint64_t size = inner_.Size();
    if (offset_ > size) offset_ = size;
    if (length_ > size - offset_) length_ = size - offset_;
}

RegionStream::RegionStream(std::unique_ptr<ByteStream> inner, uint64_t offset, uint64_t length)
    : RegionStream(*inner, offset, length) {
    owned_ = std::move(inner);
}

size_t RegionStream::Read(void *buffer, size_t count) {
    uint64_t left = length_ - position_;
    size_t n = static_cast<size_t>(std::min<uint64_t>(count, left));
    if (n == 0 || !inner_.Seek(offset_ + position_)) return 0;
    size_t got = inner_.Read(buffer, n);
    position_ += got;
    return got;
}

bool RegionStream::Seek(uint64_t position) {
    if (position > length_) return false;
    position_ = position;
    return true;
}

bool CopyStream(ByteStream &from, ByteStream &to, uint64_t count) {
    uint8_t buffer[16384];
    while (count > 0) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(count, sizeof buffer));
        size_t got = from.Read(buffer, want);
        if (got && !to.Write(buffer, got)) return false;
        if (got < want) return false;
        count -= got;
    }
    return true;
}
