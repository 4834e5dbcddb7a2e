#include <windows.h>

#include <vector>

#include "common/ansi_text_win.h"
#include "common/system_folders.h"
#include "setup/script/marker_search.h"
#include "setup/script/setup_startup.h"

namespace {

// The marker narrowed with the system's ANSI conversion, as the package format says.
std::string AnsiMarker(const std::wstring &identifier) {
    std::string marker = NarrowAnsi(identifier).substr(0, 260);
    return std::string(marker.rbegin(), marker.rend());
}

}  // namespace

PayloadLocation LocatePayloadIn(const std::wstring &file, const std::wstring &identifier) {
    PayloadLocation where;
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        LARGE_INTEGER size = {};
        GetFileSizeEx(h, &size);
        MarkerSearch search(AnsiMarker(identifier));
        std::vector<uint8_t> buffer(65536);
        DWORD got = 0;
        while (ReadFile(h, buffer.data(), DWORD(buffer.size()), &got, nullptr) && got > 0)
            if (search.Feed(buffer.data(), got)) break;
        CloseHandle(h);
        if (search.FoundBefore(uint64_t(size.QuadPart))) {
            where.found = true;
            where.path = file;
            where.offset = search.Position();
            return where;
        }
    }
    where.path = GetProgramFolder() + L"\\" + identifier + L".zip";
    return where;
}

PayloadLocation LocatePayload(const std::wstring &identifier) {
    return LocatePayloadIn(GetProgramFile(), identifier);
}
