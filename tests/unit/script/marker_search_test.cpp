#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/script/marker_search.h"
#include "setup/script/setup_markers.h"

namespace {

std::vector<uint8_t> Bytes(const std::string &s) { return std::vector<uint8_t>(s.begin(), s.end()); }

int64_t Find(const std::string &haystack, const std::string &marker) {
    auto b = Bytes(haystack);
    return FindPayloadMarker(b.data(), b.size(), marker);
}

TEST(Markers, AreTheReversedIdentifiersOfFortyBytes) {
    EXPECT_EQ(InstallerMarker(), "}I_60DE8192EA94_D099_4CF4_9626_3B9D5AFA{");
    EXPECT_EQ(UninstallerMarker(), "}U_60DE8192EA94_D099_4CF4_9626_3B9D5AFA{");
    EXPECT_EQ(InstallerMarker().size(), 40u);
    EXPECT_EQ(MakeMarker(L"ab\x00E9"), "?ba");
}

TEST(MarkerSearch, FindsTheFirstOccurrenceWithSomethingAfterIt) {
    std::string m = "abcab";
    EXPECT_EQ(Find("xxabcabZ", m), 2);
    EXPECT_EQ(Find("abcabZabcabZ", m), 0);
    // Partial candidates that overlap the real marker must not hide it.
    EXPECT_EQ(Find("abcaabcabcabZ", m), 4);
    EXPECT_EQ(Find("aaaaaabcabZ", m), 5);
}

TEST(MarkerSearch, MarkerInTheLastBytesOrCutOffCountsAsAbsent) {
    std::string m = InstallerMarker();
    EXPECT_EQ(Find("program" + m, m), -1);                  // nothing follows it
    EXPECT_EQ(Find("program" + m + "P", m), 7);             // one byte of archive
    EXPECT_EQ(Find("program" + m.substr(0, 39), m), -1);    // file ends inside it
    EXPECT_EQ(Find(m.substr(0, 20) + "x" + m.substr(20) + "PK", m), -1);
    EXPECT_EQ(Find("", m), -1);
    EXPECT_EQ(Find(UninstallerMarker() + "PK", m), -1);    // the other mode's marker
}

TEST(MarkerSearch, ChunkBoundariesDoNotMatter) {
    std::string m = UninstallerMarker();
    std::string file = std::string(1000, 'x') + m.substr(0, 30) + "y" + m + "PKrest";
    auto bytes = Bytes(file);
    for (size_t chunk : {size_t(1), size_t(7), size_t(39), size_t(40), size_t(1024)}) {
        MarkerSearch search(m);
        for (size_t at = 0; at < bytes.size() && !search.Found(); at += chunk)
            search.Feed(bytes.data() + at, std::min(chunk, bytes.size() - at));
        ASSERT_TRUE(search.FoundBefore(bytes.size())) << chunk;
        EXPECT_EQ(search.Position(), 1031u) << chunk;
    }
}

}  // namespace
