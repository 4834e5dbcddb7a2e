#include "tools/pkgbuild/marker_scan.h"

void ScanStream(ByteStream &stream, const std::vector<MarkerSearch *> &searches) {
    std::vector<uint8_t> buffer(65536);
    if (!stream.Seek(0)) return;
    for (;;) {
        size_t got = stream.Read(buffer.data(), buffer.size());
        if (got == 0) return;
        bool all = true;
        for (MarkerSearch *s : searches) all = s->Feed(buffer.data(), got) && all;
        if (all) return;
    }
}
