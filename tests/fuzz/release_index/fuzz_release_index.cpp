// Feeds arbitrary bytes to the release index reader, which a device runs on
// whatever its update server sends once the signature holds (and the release
// tool on any file beside a tree). A text that reads must be exactly what the
// writer makes of what was read, and its listing must answer for every folder.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "updater/catalogue/release_index.h"
#include "updater/catalogue/release_index_lister.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void ReadBody(const std::string &body) {
    ReleaseIndex index;
    std::string error;
    if (!ParseReleaseIndexBody(body, index, error)) {
        Check(!error.empty());
        return;
    }
    if (body.size() < kReleaseIndexMaxBytes - 4096) Check(FormatReleaseIndexBody(index) == body);
    ReleaseIndexLister lister(index);
    TextList folders;
    FileListing files;
    Check(lister.ListFolders(folders, index.tree));
    for (const ReleaseIndexEntry &entry : index.entries) {
        const std::wstring path = index.tree + L"/" + entry.path;
        Check(lister.ListFolders(folders, path) == entry.folder);
        Check(lister.ListFiles(files, path) == entry.folder);
        Check((lister.FindFile(path) != nullptr) == !entry.folder);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    std::string body;
    std::vector<std::uint8_t> signature;
    if (SplitReleaseIndex(bytes, body, signature)) {
        Check(AppendReleaseSignature(body, signature).size() == bytes.size());
        ReadBody(body);
    }
    ReadBody(bytes);
    return 0;
}
