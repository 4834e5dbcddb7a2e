#include "updater/identify/system_information_win.h"

#include <windows.h>

#include "common/ansi_text_win.h"
#include "common/system_function_win.h"

namespace {

const DWORD kRawSmbiosProvider = 0x52534D42;  // 'RSMB'
const size_t kMaxText = 260;

std::wstring Text(const std::string &bytes) {
    std::wstring text = WidenAnsi(bytes);
    if (text.size() > kMaxText)
        text.resize(kMaxText);
    return text;
}

}  // namespace

SystemTexts WidenSystemStrings(const SmbiosSystemStrings &s) {
    return {Text(s.manufacturer), Text(s.productName), Text(s.version), Text(s.serialNumber)};
}

bool ReadSystemInformationFromMemory(SystemTexts &texts, PhysicalReader &memory,
                                     SmbiosMemoryResult *details) {
    texts = SystemTexts();
    SmbiosMemoryResult result;
    const bool read = ReadSmbiosFromMemory(memory, result);
    texts = WidenSystemStrings(result.strings);
    if (details)
        *details = result;
    return read;
}

bool ReadRawFirmwareTable(std::vector<uint8_t> &raw) {
    raw.clear();
    typedef UINT(WINAPI * GetTableFn)(DWORD, DWORD, PVOID, DWORD);
    const auto getTable =
        FindSystemFunction<GetTableFn>(L"kernel32.dll", "GetSystemFirmwareTable");
    bool ok = false;
    if (getTable) {
        UINT size = getTable(kRawSmbiosProvider, 0, nullptr, 0);
        if (static_cast<int>(size) > 0) {
            raw.assign(size, 0);
            UINT got = getTable(kRawSmbiosProvider, 0, raw.data(), size);
            // A table that grew between the two calls is not taken half.
            ok = got > 0 && got <= size;
            raw.resize(ok ? got : 0);
        }
    }
    return ok;
}

bool ReadSystemInformationFromFirmware(SystemTexts &texts, int *major, int *minor) {
    texts = SystemTexts();
    std::vector<uint8_t> raw;
    if (!ReadRawFirmwareTable(raw))
        return false;
    SmbiosSystemStrings strings;
    DecodeRawSmbiosTable(raw, strings, major, minor);
    texts = WidenSystemStrings(strings);
    return true;
}
