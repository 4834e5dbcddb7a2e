#include "common/size_text.h"

#include <cstdio>
#include <cwchar>

namespace {

const double kKilo = 1024.0;
const double kMega = 1048576.0;

std::wstring Format(const wchar_t *format, double value) {
    wchar_t buffer[64];
    std::swprintf(buffer, sizeof buffer / sizeof buffer[0], format, value);
    return buffer;
}

}  // namespace

std::wstring FormatSize(double bytes) {
    if (bytes < kKilo) {
        wchar_t buffer[32];
        // Integer part; negative or absurd inputs must not overflow the conversion.
        long long whole = bytes > 0 ? static_cast<long long>(bytes) : 0;
        std::swprintf(buffer, sizeof buffer / sizeof buffer[0], L"%lldB", whole);
        return buffer;
    }
    if (bytes < kMega) return Format(L"%.1fKB", bytes / kKilo);
    return Format(L"%.1fMB", bytes / kMega);
}

std::wstring FormatSpeed(double bytesPerSecond) {
    if (bytesPerSecond < kKilo) return Format(L"%.0fB/s", bytesPerSecond);
    if (bytesPerSecond < kMega) return Format(L"%.1fKB/s", bytesPerSecond / kKilo);
    return Format(L"%.1fMB/s", bytesPerSecond / kMega);
}
