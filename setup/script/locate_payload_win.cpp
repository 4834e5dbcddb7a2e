#include <windows.h>

#include <vector>

#include "common/ansi_text_win.h"
#include "common/kernel_handle_win.h"
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

PayloadLocation LocatePayloadIn(HANDLE file, const std::wstring &identifier) {
    PayloadLocation where;
    LARGE_INTEGER size = {}, start = {};
    if (!file || file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size) ||
        !SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return where;
    MarkerSearch search(AnsiMarker(identifier));
    std::vector<uint8_t> buffer(65536);
    DWORD got = 0;
    while (ReadFile(file, buffer.data(), DWORD(buffer.size()), &got, nullptr) && got > 0)
        if (search.Feed(buffer.data(), got)) break;
    if (search.FoundBefore(uint64_t(size.QuadPart))) {
        where.found = true;
        where.offset = search.Position();
    }
    return where;
}

PayloadLocation LocatePayloadIn(const std::wstring &file, const std::wstring &identifier) {
    CKernelHandle h(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    PayloadLocation where = LocatePayloadIn(h.Get(), identifier);
    where.path = where.found ? file : GetProgramFolder() + L"\\" + identifier + L".zip";
    return where;
}
