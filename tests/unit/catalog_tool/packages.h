#ifndef TESTS_UNIT_CATALOG_TOOL_PACKAGES_H
#define TESTS_UNIT_CATALOG_TOOL_PACKAGES_H

#include <string>
#include <utility>
#include <vector>

#include "common/zip/byte_stream.h"
#include "common/zip/zip_writer.h"
#include "setup/script/setup_markers.h"

// The bytes of a ZIP archive holding `entries` (name, data), deflated.
inline std::string ZipBytes(const std::vector<std::pair<std::string, std::string>> &entries,
                            bool compress = true) {
    VectorStream out;
    zip::ZipWriter writer(out, false);
    zip::ZipEntryMeta meta;
    meta.modificationTime = 1700000000;
    for (const auto &entry : entries) {
        MemoryReadStream data(entry.second.data(), entry.second.size());
        writer.AddData(entry.first, data, entry.second.size(), compress, meta);
    }
    writer.Finish();
    return std::string(out.Bytes().begin(), out.Bytes().end());
}

// A stored entry whose data no longer matches its CRC-32.
inline std::string ZipWithBadCrc() {
    std::string bytes = ZipBytes({{"a.txt", "some text to keep"}}, false);
    bytes[bytes.find("some text") + 3] ^= 0x20;
    return bytes;
}

// A setup package as marbo-pack lays it out: a program, the installer marker,
// an archive of script lines.
inline std::string SetupPackageBytes(const std::string &markerText = InstallerMarker()) {
    return "MZ a stand-in for marboSetup.exe" + markerText +
           ZipBytes({{"General/Title=Tessel", ""}, {"File/Target={InstallDir}\\Tessel.exe", "MZ"}});
}

#endif
