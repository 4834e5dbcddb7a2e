#ifndef COMMON_SIZE_TEXT_H
#define COMMON_SIZE_TEXT_H

#include <string>

// "%dB" below 1024 bytes, "%.1fKB" below 1048576, "%.1fMB" from there on.
std::wstring FormatSize(double bytes);
// "%.0fB/s", "%.1fKB/s", "%.1fMB/s" with the same thresholds.
std::wstring FormatSpeed(double bytesPerSecond);

#endif
