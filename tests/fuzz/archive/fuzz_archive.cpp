// Any bytes as a setup package: open, list, and extract every entry to memory.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/zip/entry_path.h"
#include "setup/archive/payload_reader.h"

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
            EntryNameToRelativePath(info.name, relative);
        }
        FixedMemoryStream target(block.data(), block.size());
        reader->Extract(i, target, true, {}, [](uint32_t n) { return n <= 16384; });
    }
    return 0;
}
