#ifndef SETUP_SCRIPT_MARKER_SEARCH_H
#define SETUP_SCRIPT_MARKER_SEARCH_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Finds the first occurrence of a marker in a byte sequence fed in chunks of any
// size, so a file is searched through a fixed buffer. The position found is the
// one a byte-by-byte search restarting after each failed candidate would give.
class MarkerSearch {
public:
    explicit MarkerSearch(std::string marker);

    // Feeds the next bytes; true once the marker has been seen (later calls do nothing).
    bool Feed(const uint8_t *bytes, size_t count);
    bool Found() const { return found_; }
    // Position of the marker's first byte in the whole sequence (when found).
    uint64_t Position() const { return position_; }
    size_t MarkerLength() const { return marker_.size(); }

    // The payload rule: a marker counts only when it starts before the last
    // marker-length bytes of a file of `fileSize` bytes (something must follow it).
    bool FoundBefore(uint64_t fileSize) const;

private:
    std::string marker_;
    std::vector<size_t> fallback_;  // longest proper border of each marker prefix
    size_t matched_ = 0;
    uint64_t consumed_ = 0;
    uint64_t position_ = 0;
    bool found_ = false;
};

// Searches a whole block of memory with the payload rule; npos-like -1 when absent.
int64_t FindPayloadMarker(const uint8_t *bytes, size_t size, const std::string &marker);

#endif
