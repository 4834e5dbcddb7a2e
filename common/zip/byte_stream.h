#ifndef COMMON_ZIP_BYTE_STREAM_H
#define COMMON_ZIP_BYTE_STREAM_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The layer under every ZIP reader and writer: a positioned sequence of bytes
// that may be a whole file, a region of a file, or memory. Readers and writers
// only ever see this interface, so tests and fuzzers run them on memory.
//
// Failures are reported, never thrown: Read returns how much it could read
// (short only at the end or on error), Write returns false when not every
// byte was written, Seek returns false for positions it cannot reach.
class ByteStream {
public:
    virtual ~ByteStream() = default;
    ByteStream() = default;
    ByteStream(const ByteStream &) = delete;
    ByteStream &operator=(const ByteStream &) = delete;

    virtual size_t Read(void *buffer, size_t count) = 0;
    virtual bool Write(const void *data, size_t count) = 0;
    // Positions past the end are allowed for writable streams only.
    virtual bool Seek(uint64_t position) = 0;
    virtual uint64_t Tell() const = 0;
    virtual uint64_t Size() const = 0;
    // Pending writes reach the medium; false when they could not.
    virtual bool Flush() { return true; }
    // Ends the stream at the current position (a writer that went back over
    // bytes it had written); false when the stream cannot be cut.
    virtual bool Truncate() { return false; }

    // Reads exactly `count` bytes at `position`; false when they are not all there.
    bool ReadAt(uint64_t position, void *buffer, size_t count);
    bool SeekToEnd() { return Seek(Size()); }
};

// Read-only view of bytes the caller keeps alive.
class MemoryReadStream final : public ByteStream {
public:
    MemoryReadStream(const void *data, size_t size);
    size_t Read(void *buffer, size_t count) override;
    bool Write(const void *, size_t) override { return false; }
    bool Seek(uint64_t position) override;
    uint64_t Tell() const override { return position_; }
    uint64_t Size() const override { return size_; }

private:
    const uint8_t *data_;
    size_t size_;
    size_t position_ = 0;
};

// A fixed block of caller-owned memory that can be written and read back;
// a write past its end keeps what fits and fails.
class FixedMemoryStream final : public ByteStream {
public:
    FixedMemoryStream(void *data, size_t capacity);
    size_t Read(void *buffer, size_t count) override;
    bool Write(const void *data, size_t count) override;
    bool Seek(uint64_t position) override;
    uint64_t Tell() const override { return position_; }
    // The high-water mark of what was written.
    uint64_t Size() const override { return used_; }
    bool Truncate() override { used_ = position_; return true; }

private:
    uint8_t *data_;
    size_t capacity_;
    size_t used_ = 0;
    size_t position_ = 0;
};

// Growing memory owned by the stream (tests, small archives built in memory).
class VectorStream final : public ByteStream {
public:
    VectorStream() = default;
    explicit VectorStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    size_t Read(void *buffer, size_t count) override;
    bool Write(const void *data, size_t count) override;
    bool Seek(uint64_t position) override;
    uint64_t Tell() const override { return position_; }
    uint64_t Size() const override { return bytes_.size(); }
    bool Truncate() override { bytes_.resize(position_); return true; }
    const std::vector<uint8_t> &Bytes() const { return bytes_; }
    std::vector<uint8_t> &Bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
};

// The bytes [offset, offset + length) of another stream, seen as a stream of
// their own starting at 0. The region is read-only; the inner stream must
// outlive it (or be owned by it).
class RegionStream final : public ByteStream {
public:
    RegionStream(ByteStream &inner, uint64_t offset, uint64_t length);
    RegionStream(std::unique_ptr<ByteStream> inner, uint64_t offset, uint64_t length);
    size_t Read(void *buffer, size_t count) override;
    bool Write(const void *, size_t) override { return false; }
    bool Seek(uint64_t position) override;
    uint64_t Tell() const override { return position_; }
    uint64_t Size() const override { return length_; }

private:
    std::unique_ptr<ByteStream> owned_;
    ByteStream &inner_;
    uint64_t offset_;
    uint64_t length_;
    uint64_t position_ = 0;
};

// Copies everything from the current position of `from` to `to` through a
// fixed buffer; false when a read came up short of `count` or a write failed.
bool CopyStream(ByteStream &from, ByteStream &to, uint64_t count);

#endif
