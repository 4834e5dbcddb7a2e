// Any bytes as a setup package: open, list, and extract every entry to memory.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/zip/entry_path.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::unique_ptr<PayloadReader> reader =
        PayloadReader::Open(std::unique_ptr<ByteStream>(new MemoryReadStream(data, size)));
    if (!reader) return 0;
    PayloadEntryInfo info;
    reader->GetEntry(-1, info);
    // A block far smaller than what a hostile entry may announce.
    static std::vector<uint8_t> block(1 << 18);
    const int count = reader->Count() < 512 ? reader->Count() : 512;
    for (int i = 0; i < count; ++i) {
        if (reader->GetEntry(i, info) == 0) {
            std::wstring relative;
            if (EntryNameToRelativePath(info.name, relative)) CheckContained(relative);
        }
        FixedMemoryStream target(block.data(), block.size());
        reader->Extract(i, target, true, {}, [](uint32_t n) { return n <= 16384; });
    }
    return 0;
}
