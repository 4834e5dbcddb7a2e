#ifndef TOOLS_PKGBUILD_MARKER_SCAN_H
#define TOOLS_PKGBUILD_MARKER_SCAN_H

#include <vector>

#include "common/zip/byte_stream.h"
#include "setup/script/marker_search.h"

// Feeds a whole stream, from its start, to each search through one buffer;
// stops early once every search has found its marker.
void ScanStream(ByteStream &stream, const std::vector<MarkerSearch *> &searches);

#endif
