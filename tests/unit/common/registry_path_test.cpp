#include "common/registry_path.h"

#include <gtest/gtest.h>

TEST(RegistryPath, SplitsAtTheFirstBackslash) {
    RegistryPath p;
    ASSERT_TRUE(SplitRegistryPath(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni\\Tessel", p));
    EXPECT_EQ(RegistryRoot::LocalMachine, p.root);
    EXPECT_EQ(L"SOFTWARE\\Parvoni\\Tessel", p.subKey);
    EXPECT_TRUE(p.hasBackslash);

    ASSERT_TRUE(SplitRegistryPath(L"hkey_current_user\\x", p));
    EXPECT_EQ(RegistryRoot::CurrentUser, p.root);
    EXPECT_EQ(L"x", p.subKey);
}

TEST(RegistryPath, RootNameAloneNamesThePredefinedKey) {
    RegistryPath p;
    ASSERT_TRUE(SplitRegistryPath(L"HKEY_USERS", p));
    EXPECT_EQ(RegistryRoot::Users, p.root);
    EXPECT_FALSE(p.hasBackslash);
    EXPECT_TRUE(p.subKey.empty());
}

TEST(RegistryPath, RejectsEmptySubKeysAndUnknownRoots) {
    RegistryPath p;
    EXPECT_FALSE(SplitRegistryPath(L"HKEY_LOCAL_MACHINE\\", p));
    EXPECT_FALSE(SplitRegistryPath(L"HKLM\\SOFTWARE", p));
    EXPECT_FALSE(SplitRegistryPath(L"HKEY_LOCAL_MACHINEX\\SOFTWARE", p));
    EXPECT_FALSE(SplitRegistryPath(L"", p));
    EXPECT_FALSE(SplitRegistryPath(L"\\SOFTWARE", p));
    EXPECT_EQ(RegistryRoot::None, ParseRegistryRoot(L"HKEY_CLASSES"));
    EXPECT_EQ(RegistryRoot::ClassesRoot, ParseRegistryRoot(L"Hkey_Classes_Root"));
    EXPECT_EQ(RegistryRoot::CurrentConfig, ParseRegistryRoot(L"HKEY_CURRENT_CONFIG"));
}

TEST(HexBytes, PairsDigitsAndSkipsEverythingElse) {
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ((Bytes{0x0A, 0xBC, 0xDE}), ParseHexBytes(L"a bc d e"));
    EXPECT_EQ((Bytes{0x01, 0x23, 0x45}), ParseHexBytes(L"1 2 3 4 5"));
    EXPECT_EQ((Bytes{0xFF, 0x00}), ParseHexBytes(L"ff,00"));
    EXPECT_EQ(Bytes{}, ParseHexBytes(L"xyz -"));
    EXPECT_EQ((Bytes{0x07}), ParseHexBytes(L"g7"));
}

TEST(RegistryText, StopsAtTheTerminatorAndToleratesOddSizes) {
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(L"1.2", RegistryBytesToText(Bytes{'1', 0, '.', 0, '2', 0, 0, 0}));
    EXPECT_EQ(L"ab", RegistryBytesToText(Bytes{'a', 0, 'b', 0}));
    EXPECT_EQ(L"a", RegistryBytesToText(Bytes{'a', 0, 'b'}));
    EXPECT_EQ(L"\uc548", RegistryBytesToText(Bytes{0x48, 0xC5}));
    EXPECT_EQ(L"", RegistryBytesToText(Bytes{}));
}
