#include "tests/wine/engine/test_package.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "common/zip/file_stream.h"
#include "common/zip/zip_error.h"
#include "common/zip/zip_writer.h"
#include "setup/script/setup_markers.h"

namespace {

// Zero bytes without holding them in memory.
class ZeroStream final : public ByteStream {
public:
    explicit ZeroStream(uint64_t size) : size_(size) {}
    size_t Read(void *buffer, size_t count) override {
        size_t n = size_t(std::min<uint64_t>(count, size_ - position_));
        std::memset(buffer, 0, n);
        position_ += n;
        return n;
    }
    bool Write(const void *, size_t) override { return false; }
    bool Seek(uint64_t position) override {
        if (position > size_) return false;
        position_ = position;
        return true;
    }
    uint64_t Tell() const override { return position_; }
    uint64_t Size() const override { return size_; }

private:
    uint64_t size_;
    uint64_t position_ = 0;
};

}  // namespace

TestPackage &TestPackage::Line(const std::string &line) {
    std::string name = line;
    if (name.empty() || name.back() != '/') name += '/';
    entries_.push_back({Entry::Kind::Folder, name, "", 0, false, false});
    return *this;
}

TestPackage &TestPackage::Folder(const std::string &name) { return Line(name); }

TestPackage &TestPackage::File(const std::string &name, const std::string &bytes, bool readOnly,
                               bool stored) {
    entries_.push_back({Entry::Kind::File, name, bytes, bytes.size(), readOnly, stored});
    return *this;
}

TestPackage &TestPackage::Zeros(const std::string &name, uint64_t size) {
    entries_.push_back({Entry::Kind::Zeros, name, "", size, false, false});
    return *this;
}

bool TestPackage::Write(const std::wstring &path, const std::string &program,
                        const std::wstring &identifier) const {
    std::unique_ptr<FileStream> out = FileStream::Open(path, FileStream::Mode::CreateAlways);
    if (!out) return false;
    const std::string marker = MakeMarker(identifier);
    if (!out->Write(program.data(), program.size()) || !out->Write(marker.data(), marker.size()))
        return false;
    try {
        zip::ZipWriter writer(*out, false);
        for (const Entry &e : entries_) {
            zip::ZipEntryMeta meta;
            meta.modificationTime = 1262304000;  // 2010-01-01 00:00:00 UTC
            if (e.kind == Entry::Kind::Folder) {
                meta.externalAttributes = zip::DefaultExternalAttributes(true, false);
                writer.AddFolder(e.name, meta);
            } else if (e.kind == Entry::Kind::File) {
                meta.externalAttributes = zip::DefaultExternalAttributes(false, e.readOnly);
                MemoryReadStream source(e.bytes.data(), e.bytes.size());
                writer.AddData(e.name, source, e.bytes.size(), !e.stored, meta);
            } else {
                ZeroStream source(e.size);
                writer.AddData(e.name, source, e.size, true, meta, 1);
            }
        }
        writer.Finish();
    } catch (const CZipException &) {
        return false;
    }
    return out->Flush();
}

std::string ReadWholeFile(const std::wstring &path) {
    std::unique_ptr<FileStream> in = FileStream::Open(path, FileStream::Mode::Read);
    if (!in) return std::string();
    std::string bytes(size_t(in->Size()), '\0');
    if (!bytes.empty()) bytes.resize(in->Read(&bytes[0], bytes.size()));
    return bytes;
}

bool WriteWholeFile(const std::wstring &path, const std::string &bytes) {
    std::unique_ptr<FileStream> out = FileStream::Open(path, FileStream::Mode::CreateAlways);
    return out && out->Write(bytes.data(), bytes.size()) && out->Flush();
}
