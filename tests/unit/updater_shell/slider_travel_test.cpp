#include "updater/controls/slider_travel.h"

#include <climits>
#include <tuple>

#include <gtest/gtest.h>

namespace {

// The Download window's slider: channel 240 wide, thumb 23, margins 2 and 2.
SliderTravel DownloadSlider(int minimum, int maximum) {
    SliderTravel t;
    t.minimum = minimum;
    t.maximum = maximum;
    t.startMargin = 2;
    t.endMargin = 2;
    t.length = 240;
    t.thumb = 23;
    return t;
}

TEST(SliderTravel, PositionsAndCentresAtBothEndsAndMidRange) {
    struct Case {
        int minimum, maximum, position, centre, back;
    } cases[] = {
        // travel 240 - 2 - 23 - 2 = 213 pixels, the centre 11 past its start
        {0, 100, 0, 13, 0},
        {0, 100, 100, 226, 100},
        {0, 100, 50, 119, 49},  // 106.5 truncates to 106; 106 / 213 * 100 = 49.77
        {0, 100, 1, 15, 0},     // 2.13 -> 2; back: 2 / 213 * 100 = 0.94
        {-50, 50, 0, 119, 0},   // back: 106 / 213 * 100 - 50 = -0.23, truncated toward zero
        {0, 3000000, 3000000, 226, 3000000},
        {0, 3000000, 1536, 13, 0},
        {INT_MIN, INT_MAX, INT_MAX, 226, INT_MAX},
    };
    for (const Case &c : cases) {
        const SliderTravel t = DownloadSlider(c.minimum, c.maximum);
        SCOPED_TRACE(testing::Message() << c.minimum << ".." << c.maximum << " at " << c.position);
        EXPECT_EQ(t.CentreOf(c.position), c.centre);
        EXPECT_EQ(t.PositionAt(c.centre), c.back);
    }
}

TEST(SliderTravel, EmptyRangeOrShortTravelKeepsTheThumbAtTheStart) {
    for (auto [minimum, maximum, length] : {std::tuple{0, 0, 240}, std::tuple{10, 5, 240},
                                            std::tuple{0, 100, 27}, std::tuple{0, 100, 0}}) {
        SliderTravel t = DownloadSlider(minimum, maximum);
        t.length = length;
        EXPECT_FALSE(t.Movable());
        EXPECT_EQ(t.CentreOf(7), 13);
        EXPECT_EQ(t.PositionAt(200), minimum);
    }
    EXPECT_TRUE(DownloadSlider(0, 1).Movable());
}

TEST(SliderTravel, ClampsCentresAndPositions) {
    const SliderTravel t = DownloadSlider(0, 100);
    EXPECT_EQ(t.ClampCentre(-5), 13);
    EXPECT_EQ(t.ClampCentre(500), 227);  // 240 - 11 - 2: one pixel past the end position's centre
    EXPECT_EQ(t.PositionAt(t.ClampCentre(500)), 100);
    EXPECT_EQ(t.ClampCentre(100), 100);
    EXPECT_EQ(t.ClampPosition(101), 100);
    EXPECT_EQ(t.ClampPosition(-1), 0);
    EXPECT_EQ(t.ClampPosition(42), 42);
    // An empty range limits to the maximum first, then to the minimum.
    EXPECT_EQ(DownloadSlider(10, 5).ClampPosition(7), 10);
}

TEST(SliderTravel, KeysStepWithinTheRange) {
    struct Case {
        SliderKey key;
        int position, expected;
    } cases[] = {
        {SliderKey::PageUp, 50, 30},  {SliderKey::PageUp, 10, 0},
        {SliderKey::PageDown, 50, 70}, {SliderKey::PageDown, 95, 100},
        {SliderKey::End, 3, 100},     {SliderKey::Home, 97, 0},
        {SliderKey::Forward, 100, 100}, {SliderKey::Forward, 4, 5},
        {SliderKey::Back, 0, 0},      {SliderKey::Back, 5, 4},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SliderKeyTarget(c.key, c.position, 20, 0, 100), c.expected)
            << int(c.key) << " from " << c.position;
    EXPECT_EQ(SliderKeyTarget(SliderKey::PageDown, INT_MAX - 3, 20, 0, INT_MAX), INT_MAX);
    EXPECT_EQ(SliderKeyTarget(SliderKey::PageUp, INT_MIN + 3, 20, INT_MIN, 0), INT_MIN);
}

}  // namespace
