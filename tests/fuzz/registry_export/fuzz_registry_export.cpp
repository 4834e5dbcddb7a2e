// Any bytes as the installed state a preview is given: a registry export or a
// version list, in any encoding; then the versions the device's rules read.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "tools/catalog/device_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    DeviceState state(size % 2 ? L"MID" : L"CMPC");
    try {
        state.LoadInstalled(DecodeTextFile(bytes));
    } catch (const std::runtime_error &) {
        return 0;
    }
    state.LoadProgramFiles(DecodeTextFile(bytes));
    for (const wchar_t *component : {L"marboDMB", L"Audio Driver", L".NET Framework", L"System Driver"})
        state.InstalledVersion(component);
    return 0;
}
