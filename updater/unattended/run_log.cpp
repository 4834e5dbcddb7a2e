#include "updater/unattended/run_log.h"

#include <cstdio>

#include "common/text.h"

std::string FormatLogLine(const LogClock &clock, const std::wstring &device,
                          const std::wstring &message) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d", clock.year, clock.month,
                  clock.day, clock.hour, clock.minute, clock.second);
    std::wstring text = message;
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n'))
        text.pop_back();
    for (wchar_t &c : text)
        if (c == L'\r' || c == L'\n')
            c = L' ';
    return std::string(stamp) + " [" + NarrowUtf8(device) + "] " + NarrowUtf8(text) + "\r\n";
}

size_t LogBytesToDrop(const std::string &existing, size_t adding, size_t limit) {
    if (existing.size() + adding <= limit)
        return 0;
    const size_t keep = limit / 2 > adding ? limit / 2 - adding : 0;
    if (existing.size() <= keep)
        return 0;
    size_t drop = existing.size() - keep;
    // Drop up to the start of the next whole line.
    const size_t lineEnd = existing.find('\n', drop == 0 ? 0 : drop - 1);
    return lineEnd == std::string::npos ? existing.size() : lineEnd + 1;
}
