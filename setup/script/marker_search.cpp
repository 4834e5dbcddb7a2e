#include "setup/script/marker_search.h"

MarkerSearch::MarkerSearch(std::string marker) : marker_(std::move(marker)) {
    fallback_.assign(marker_.size(), 0);
    size_t k = 0;
    for (size_t i = 1; i < marker_.size(); ++i) {
        while (k > 0 && marker_[i] != marker_[k]) k = fallback_[k - 1];
        if (marker_[i] == marker_[k]) ++k;
        fallback_[i] = k;
    }
}

bool MarkerSearch::Feed(const uint8_t *bytes, size_t count) {
    if (found_ || marker_.empty()) return found_;
    for (size_t n = 0; n < count; ++n) {
        char c = char(bytes[n]);
        while (matched_ > 0 && c != marker_[matched_]) matched_ = fallback_[matched_ - 1];
        if (c == marker_[matched_]) ++matched_;
        if (matched_ == marker_.size()) {
            found_ = true;
            position_ = consumed_ + n + 1 - marker_.size();
            consumed_ += n + 1;
            return true;
        }
    }
    consumed_ += count;
    return false;
}

bool MarkerSearch::FoundBefore(uint64_t fileSize) const {
    return found_ && fileSize > marker_.size() && position_ < fileSize - marker_.size();
}

int64_t FindPayloadMarker(const uint8_t *bytes, size_t size, const std::string &marker) {
    MarkerSearch search(marker);
    search.Feed(bytes, size);
    return search.FoundBefore(size) ? int64_t(search.Position()) : -1;
}
