#include "tools/pkgbuild/marker_scan.h"

#include "setup/script/setup_markers.h"

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

SetupFileMarks::SetupFileMarks() : installer(InstallerMarker()), uninstaller(UninstallerMarker()) {}

SetupFileMarks ScanSetupFile(ByteStream &stream) {
    SetupFileMarks marks;
    char mz[2] = {0, 0};
    marks.windowsProgram = stream.Seek(0) && stream.Read(mz, 2) == 2 && mz[0] == 'M' && mz[1] == 'Z';
    if (marks.windowsProgram) ScanStream(stream, {&marks.installer, &marks.uninstaller});
    return marks;
}
