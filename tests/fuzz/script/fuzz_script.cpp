// Feeds arbitrary bytes to the marker search and to the setup-script reader.
// The marker search is checked against a plain byte-by-byte search, and every
// escaped value must be free of the separators it exists to hide.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "setup/script/marker_search.h"
#include "setup/script/script_line.h"
#include "setup/script/setup_markers.h"
#include "setup/script/setup_settings.h"
#include "setup/script/value_escaping.h"

namespace {

int64_t PlainSearch(const uint8_t *data, size_t size, const std::string &m) {
    for (size_t p = 0; p + m.size() <= size; ++p) {
        size_t i = 0;
        while (i < m.size() && data[p + i] == uint8_t(m[i])) ++i;
        if (i == m.size()) return p < size - m.size() ? int64_t(p) : -1;
    }
    return -1;
}

void CheckMarkerSearch(const uint8_t *data, size_t size, const std::string &marker) {
    size_t chunk = size ? 1 + data[0] % 61 : 1;
    MarkerSearch search(marker);
    for (size_t at = 0; at < size; at += chunk) search.Feed(data + at, std::min(chunk, size - at));
    int64_t chunked = search.FoundBefore(size) ? int64_t(search.Position()) : -1;
    if (chunked != PlainSearch(data, size, marker)) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // Short markers make matches likely; the real ones check the full length.
    CheckMarkerSearch(data, size, "ab");
    CheckMarkerSearch(data, size, "aab");
    CheckMarkerSearch(data, size, InstallerMarker());

    SetupSettings settings;
    settings.ProgramFilesDir = L"C:\\Program Files";
    SetupScriptReader reader(settings, [](const std::wstring &) {});
    std::wstring name;
    for (size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == '\n') {
            reader.AddEntry(name, double(name.size()));
            ScriptLine line = ParseScriptLine(name);
            SplitKeyValue(line.remainder);
            SplitFields(name);
            std::wstring escaped = EscapeValue(name);
            if (escaped.find_first_of(L":/\\") != std::wstring::npos) abort();
            UnescapeValue(escaped);
            name.clear();
        } else {
            name += wchar_t(data[i]);
        }
    }
    reader.Finish();
    ProductCaption(settings);
    return 0;
}
