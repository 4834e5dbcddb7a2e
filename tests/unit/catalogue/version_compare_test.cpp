#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "updater/catalogue/version_compare.h"

namespace {

struct Ordered {
    const wchar_t *a;
    const wchar_t *b;
    int expected;
};

// Each pair also checked the other way round: the orderings are antisymmetric.
TEST(CompareVersionTest, OrdersPartsAsNumbersOnlyWhenBothAreExactDecimalTexts) {
    const Ordered cases[] = {
        {L"", L"", 0},
        {L"", L"1", -1},
        {L"1.9", L"1.10", -1},           // both numeric
        {L"1.9", L"1.09", 1},            // "09" is a text: "9" > "09"
        {L"1.2.E", L"1.2.D", 1},
        {L"1.2.E", L"1.2.e", -1},        // case-sensitive texts
        {L"1.2", L"1.2.", 0},            // trailing empty part meets a padded one
        {L"1.2", L"1.2.0", -1},          // empty part against "0"
        {L"1..2", L"1.0.2", -1},
        {L".1", L"1", -1},
        {L"1.2.3", L"1.2", 1},
        {L"07", L"7", -1},               // not numeric: '0' < '7'
        {L"-0", L"0", -1},               // '-' < '0'
        {L"+7", L"7", -1},               // '+' < '7'
        {L" 7", L"1", -1},               // a leading blank makes a text
        {L"7a", L"10", 1},
        {L"-3", L"2", -1},
        {L"-2147483648", L"-2147483647", -1},  // numeric; as texts it would be 1
        {L"2147483647", L"3", 1},              // numeric; as texts it would be -1
        {L"2147483648", L"3", -1},             // out of range: a text
        {L"-2147483649", L"-3", -1},           // out of range: "-2..." < "-3" as texts
        {L"1.E", L"1.10", 1},                  // 'E' > '1'
        {L"\U00010000", L"\uFFFF", -1},        // UTF-16 code units: D800 < FFFF
    };
    for (const Ordered &c : cases) {
        EXPECT_EQ(c.expected, CompareVersion(c.a, c.b)) << "\"" << c.a << "\" vs \"" << c.b << "\"";
        EXPECT_EQ(-c.expected, CompareVersion(c.b, c.a)) << "\"" << c.b << "\" vs \"" << c.a << "\"";
    }
}

TEST(CompareVersionTest, HandlesVersionsOfManyParts) {
    std::wstring many, more;
    for (int i = 0; i < 3000; ++i)
        many += L"1.";
    more = many + L"1";
    EXPECT_EQ(-1, CompareVersion(many, more));
    EXPECT_EQ(0, CompareVersion(many, many));
}

TEST(CompareFileNameTest, ZipPackagesBeforeInstallersOtherwiseByCodeUnit) {
    const Ordered cases[] = {
        {L"Setup.exe", L"Setup.zip", 1},
        {L"DATA.ZIP", L"a.EXE", -1},   // extension test ignores case
        {L"a.txt", L"b.txt", -1},
        {L"B.zip", L"a.zip", -1},      // otherwise case-sensitive
        {L"x.exe", L"x.exe", 0},
        {L".zip", L"a.exe", -1},       // four characters are enough
        {L"zip", L"exe", 1},           // shorter names never match
        {L"z.exe", L"a.msi", 1},
    };
    for (const Ordered &c : cases) {
        EXPECT_EQ(c.expected, CompareFileName(c.a, c.b)) << c.a << " vs " << c.b;
        EXPECT_EQ(-c.expected, CompareFileName(c.b, c.a)) << c.b << " vs " << c.a;
    }
}

TEST(IsOfferNewerTest, FollowsTheVersionOrderWithNotInstalledBelowEveryVersion) {
    struct Offer {
        const wchar_t *offered;
        const wchar_t *installed;
        bool newer;
    } cases[] = {
        {L"1.10", L"1.9", true},  {L"1.9", L"1.10", false}, {L"9.0", L"10.0", false},
        {L"10.0", L"9.0", true},  {L"1.0", L"-", true},     {L"A", L"-", true},
        {L"-1", L"-", true},      {L"-", L"-", false},      {L"1.0", L"1.0", false},
        {L"1.0", L"1.0.", false}, {L"1.0.A", L"1.0.a", false}, {L"1.0.a", L"1.0.A", true},
        {L"1.0", L"", true},      {L"1.0", L"1.0.0", false},
    };
    for (const Offer &c : cases)
        EXPECT_EQ(c.newer, IsOfferNewer(c.offered, c.installed)) << c.offered << " vs " << c.installed;
}

using Names = std::vector<std::wstring>;

Names Sorted(Names names, NameComparison compare) {
    SortNames(names, compare);
    return names;
}

TEST(SortNamesTest, MixedListingsComeOutAsTheInsertionSortLeavesThem) {
    EXPECT_EQ((Names{L"Driver.zip", L"inst.exe", L"readme.txt"}),
              Sorted({L"inst.exe", L"Driver.zip", L"readme.txt"}, CompareFileName));
    // a.exe < b.txt < c.zip < a.exe: a cycle, so the listing order decides.
    EXPECT_EQ((Names{L"a.exe", L"b.txt", L"c.zip"}),
              Sorted({L"a.exe", L"b.txt", L"c.zip"}, CompareFileName));
    EXPECT_EQ((Names{L"c.zip", L"a.exe", L"b.txt"}),
              Sorted({L"c.zip", L"a.exe", L"b.txt"}, CompareFileName));
    EXPECT_EQ((Names{L"b.txt", L"c.zip", L"a.exe"}),
              Sorted({L"c.zip", L"b.txt", L"a.exe"}, CompareFileName));
    EXPECT_EQ((Names{L"a.zip", L"b.exe", L"c.txt"}),
              Sorted({L"b.exe", L"c.txt", L"a.zip"}, CompareFileName));
    // Versions: "1.E" is above "1.10", which is above "1.9".
    EXPECT_EQ((Names{L"1.2", L"1.9", L"1.10", L"1.E"}),
              Sorted({L"1.10", L"1.E", L"1.2", L"1.9"}, CompareVersion));
}

TEST(SortNamesTest, ShuffledListingsEndWithNoNeighbourOutOfOrderAndEqualsInListingOrder) {
    const Names mixed = {L"setup.exe", L"Setup.zip", L"a.exe", L"b.txt", L"c.zip", L"DATA.ZIP",
                         L"readme.txt", L"z.EXE", L"m.msi", L"x", L"lib.zip"};
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        Names listing = mixed;
        std::shuffle(listing.begin(), listing.end(), random);
        const Names sorted = Sorted(listing, CompareFileName);
        ASSERT_TRUE(std::is_permutation(sorted.begin(), sorted.end(), mixed.begin()));
        for (size_t i = 0; i + 1 < sorted.size(); ++i)
            EXPECT_NE(1, CompareFileName(sorted[i], sorted[i + 1])) << sorted[i] << " before " << sorted[i + 1];
    }
    // Only .zip files (or no .zip/.exe at all): a total order, so every listing
    // order gives the one ascending result.
    Names zips = {L"b.zip", L"A.zip", L"a.zip", L"c.ZIP", L"_.zip"};
    const Names expected = {L"A.zip", L"_.zip", L"a.zip", L"b.zip", L"c.ZIP"};
    for (int round = 0; round < 20; ++round) {
        std::shuffle(zips.begin(), zips.end(), random);
        EXPECT_EQ(expected, Sorted(zips, CompareFileName));
    }
    // Versions that compare equal ("1.2" and "1.2.") keep their listing order.
    EXPECT_EQ((Names{L"1.2.", L"1.2", L"2"}), Sorted({L"2", L"1.2.", L"1.2"}, CompareVersion));
    EXPECT_EQ((Names{L"1.2", L"1.2.", L"2"}), Sorted({L"1.2", L"2", L"1.2."}, CompareVersion));
}

}  // namespace
