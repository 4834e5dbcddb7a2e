#ifndef TOOLS_PKGBUILD_MARKER_SCAN_H
#define TOOLS_PKGBUILD_MARKER_SCAN_H

#include <vector>

#include "common/zip/byte_stream.h"
#include "setup/script/marker_search.h"

// Feeds a whole stream, from its start, to each search through one buffer;
// stops early once every search has found its marker.
void ScanStream(ByteStream &stream, const std::vector<MarkerSearch *> &searches);

// A file as the setup wizard sees it: a Windows program ("MZ" at its start),
// and where its installer and uninstaller markers stand.
struct SetupFileMarks {
    bool windowsProgram = false;
    MarkerSearch installer, uninstaller;
    SetupFileMarks();
};
SetupFileMarks ScanSetupFile(ByteStream &stream);

#endif
