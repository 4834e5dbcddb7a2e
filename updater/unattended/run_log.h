#ifndef UPDATER_UNATTENDED_RUN_LOG_H
#define UPDATER_UNATTENDED_RUN_LOG_H

#include <cstddef>
#include <string>

// The lines of an unattended run, as its log file keeps them.

struct LogClock {
    int year, month, day, hour, minute, second;
};

// "2026-12-08 17:40:02 [MID marbo K4 EX Win7] message", one line (line breaks
// inside the message become blanks), ending in "\r\n".
std::string FormatLogLine(const LogClock &clock, const std::wstring &device,
                          const std::wstring &message);

// The log is kept below `limit` bytes: once `existing` bytes and the `adding`
// bytes to be appended would pass it, the oldest lines go, so that what stays
// fills at most half of the limit. Returns how many leading bytes of the file
// to drop (0: none), always at a line start.
size_t LogBytesToDrop(const std::string &existing, size_t adding, size_t limit);

constexpr size_t kRunLogLimit = 1024 * 1024;

#endif
