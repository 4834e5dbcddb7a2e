// Any bytes as a setup package and as an update package: open, list, build
// every entry's target below a destination, and extract every entry to memory
// through both readers.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/zip/entry_path.h"
#include "common/zip/zip_archive_reader.h"
#include "common/zip/zip_error.h"
#include "setup/archive/payload_reader.h"

namespace {

// What EntryNameToRelativePath promises of every name it accepts.
void CheckContained(const std::wstring &relative) {
    if (relative.empty() || relative[0] == L'\\' || relative.back() == L'\\') __builtin_trap();
    size_t start = 0;
    for (size_t i = 0; i <= relative.size(); ++i) {
        if (i < relative.size() && relative[i] == L':') __builtin_trap();
        if (i < relative.size() && relative[i] == L'/') __builtin_trap();
        if (i == relative.size() || relative[i] == L'\\') {
            std::wstring part = relative.substr(start, i - start);
            if (part.empty() || part.find_last_not_of(L". ") == std::wstring::npos) __builtin_trap();
            start = i + 1;
        }
    }
}

// The update package reader: every accepted target lies below the destination.
void ReadAsUpdatePackage(const uint8_t *data, size_t size, std::vector<uint8_t> &block) {
    static const std::wstring destination = L"C:\\Program Files\\Pkg";
    ZipArchiveReader reader;
    try {
        reader.Open(std::unique_ptr<ByteStream>(new MemoryReadStream(data, size)));
    } catch (const CZipException &) {
        return;
    }
    const int count = reader.GetCount() < 512 ? reader.GetCount() : 512;
    for (int i = 0; i < count; ++i) {
        ZipFileHeader header;
        if (!reader.GetFileInfo(i, header)) continue;
        std::wstring target;
        if (BuildEntryTarget(destination, header.fileName, target)) {
            if (target.compare(0, destination.size() + 1, destination + L"\\") != 0) __builtin_trap();
            CheckContained(target.substr(destination.size() + 1));
        }
        try {
            if (!reader.OpenEntry(i)) continue;
            FixedMemoryStream out(block.data(), block.size());
            static std::vector<uint8_t> buffer(65535);
            reader.CopyOpenEntry(out, buffer.data(), buffer.size(), nullptr, nullptr);
            reader.CloseEntry(false);
        } catch (const CZipException &) {
            reader.CloseEntry(true);
        }
    }
    reader.Close(true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static std::vector<uint8_t> updateBlock(1 << 18);
    ReadAsUpdatePackage(data, size, updateBlock);
    try {
        PayloadReader reader(std::unique_ptr<ByteStream>(new MemoryReadStream(data, size)));
        // A block far smaller than what a hostile entry may announce.
        static std::vector<uint8_t> block(1 << 18);
        const int count = reader.Count() < 512 ? reader.Count() : 512;
        for (int i = 0; i < count; ++i) {
            try {
                std::wstring relative;
                if (EntryNameToRelativePath(reader.Entry(i).name, relative)) CheckContained(relative);
            } catch (const CZipException &) {
            }
            try {
                FixedMemoryStream target(block.data(), block.size());
                reader.Extract(i, target, {}, [](uint32_t n) { return n <= 16384; });
            } catch (const CZipException &) {
            }
        }
    } catch (const CZipException &) {
    }
    return 0;
}
