#include "common/registry_key.h"

#include <shlwapi.h>

#include <string>

#include <gtest/gtest.h>

namespace {

const wchar_t kBase[] = L"HKEY_CURRENT_USER\\Software\\TesselTest";
const wchar_t kBaseSub[] = L"Software\\TesselTest";

class RegistryKeyTest : public testing::Test {
  protected:
    void SetUp() override { SHDeleteKeyW(HKEY_CURRENT_USER, kBaseSub); }
    void TearDown() override { SHDeleteKeyW(HKEY_CURRENT_USER, kBaseSub); }

    static DWORD StoredType(const std::wstring &sub, const std::wstring &name, DWORD *size) {
        HKEY key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, sub.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return REG_NONE - 1;
        DWORD type = 0;
        *size = 0;
        LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, size);
        RegCloseKey(key);
        return rc == ERROR_SUCCESS ? type : REG_NONE - 1;
    }
};

}  // namespace

TEST_F(RegistryKeyTest, OpenFailsForMissingKeysAndCreateMakesThem) {
    CRegistryKey key;
    EXPECT_FALSE(key.Open(std::wstring(kBase) + L"\\Viewer"));
    EXPECT_FALSE(key.Close());
    ASSERT_TRUE(key.Create(std::wstring(kBase) + L"\\Viewer"));
    EXPECT_TRUE(key.SetValue(L"version", L"1.2.3", REG_SZ));
    EXPECT_TRUE(key.Close());

    CRegistryKey again;
    ASSERT_TRUE(again.Open(std::wstring(kBase) + L"\\Viewer"));
    std::wstring text;
    ASSERT_TRUE(again.QueryValue(L"version", text, REG_SZ));
    EXPECT_EQ(L"1.2.3", text);
    // Stored with its terminator.
    DWORD size = 0;
    EXPECT_EQ(DWORD(REG_SZ), StoredType(std::wstring(kBaseSub) + L"\\Viewer", L"version", &size));
    EXPECT_EQ(DWORD(6 * sizeof(wchar_t)), size);
}

TEST_F(RegistryKeyTest, RootsAloneAreReferredToButNeverClosed) {
    CRegistryKey key;
    ASSERT_TRUE(key.Open(L"HKEY_CURRENT_USER"));
    EXPECT_EQ(HKEY_CURRENT_USER, key.Handle());
    EXPECT_TRUE(key.Close());
    // HKCU still works after the object let go of it.
    HKEY sub;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kBaseSub, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &sub, nullptr));
    RegCloseKey(sub);

    EXPECT_FALSE(key.Open(L"HKEY_CURRENT_USER\\"));
    EXPECT_FALSE(key.Open(L"HKCU\\Software"));
    EXPECT_FALSE(key.Create(L"HKLM\\Software\\TesselTest"));
    EXPECT_FALSE(key.Open(L"NOWHERE"));
    EXPECT_TRUE(key.Open(L"hkey_current_user\\software"));
    EXPECT_TRUE(key.Open(HKEY_CURRENT_USER, kBaseSub));
    EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, L""));
}

TEST_F(RegistryKeyTest, ValueTypesAndTheDefaultValue) {
    CRegistryKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kBaseSub));
    EXPECT_TRUE(key.SetValue(L"", L"default text", REG_SZ));
    EXPECT_TRUE(key.SetValue(L"count", 0x12345678, REG_DWORD));
    EXPECT_TRUE(key.SetValue(L"blob", L"a bc de", REG_BINARY));
    EXPECT_FALSE(key.SetValue(L"multi", L"x", REG_MULTI_SZ));
    EXPECT_FALSE(key.SetValue(L"number", 5, REG_SZ));

    std::wstring text;
    ASSERT_TRUE(key.QueryValue(L"", text));
    EXPECT_EQ(L"default text", text);
    DWORD number = 0;
    ASSERT_TRUE(key.QueryValue(L"count", number));
    EXPECT_EQ(0x12345678u, number);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(key.QueryValue(L"blob", bytes, REG_BINARY));
    EXPECT_EQ((std::vector<std::uint8_t>{0x0A, 0xBC, 0xDE}), bytes);

    // The stored type must match the asked one.
    EXPECT_FALSE(key.QueryValue(L"count", text, REG_SZ));
    EXPECT_FALSE(key.QueryValue(L"blob", number));
    EXPECT_FALSE(key.QueryValue(L"absent", text));
}

TEST_F(RegistryKeyTest, SetValueReplacesAValueOfAnotherType) {
    CRegistryKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kBaseSub));
    ASSERT_TRUE(key.SetValue(L"v", 7, REG_DWORD));
    ASSERT_TRUE(key.SetValue(L"v", L"seven", REG_SZ));
    std::wstring text;
    ASSERT_TRUE(key.QueryValue(L"v", text));
    EXPECT_EQ(L"seven", text);
    EXPECT_TRUE(key.DeleteValue(L"v"));
    EXPECT_FALSE(key.DeleteValue(L"v"));
    EXPECT_FALSE(key.QueryValue(L"v", text));
}

TEST_F(RegistryKeyTest, QueryValueRefusesValuesLargerThanItsLimit) {
    CRegistryKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kBaseSub));
    std::wstring fits(129, L'9'), tooLong(130, L'9');
    ASSERT_TRUE(key.SetValue(L"fits", fits, REG_SZ));
    ASSERT_TRUE(key.SetValue(L"long", tooLong, REG_SZ));
    std::wstring text;
    EXPECT_TRUE(key.QueryValue(L"fits", text));
    EXPECT_EQ(fits, text);
    EXPECT_FALSE(key.QueryValue(L"long", text));
    EXPECT_TRUE(text.empty());
}

TEST_F(RegistryKeyTest, ValueOperationsWithoutAKeyFail) {
    CRegistryKey key;
    std::wstring text;
    EXPECT_FALSE(key.SetValue(L"v", L"x", REG_SZ));
    EXPECT_FALSE(key.QueryValue(L"v", text));
    EXPECT_FALSE(key.DeleteValue(L"v"));
}

// An uninstall deletes a recorded key only when IsEmptyKey says so: a key that
// cannot be opened is not empty. Windows refuses the open of a key whose access
// list denies this process reading it; Wine's registry does not enforce a key's
// access list, so the missing key stands in here for every failed open.
TEST_F(RegistryKeyTest, CountEntriesCountsSubKeysAndValuesAndOnlyAnOpenedKeyIsEmpty) {
    EXPECT_EQ(0u, CRegistryKey::CountEntries(HKEY_CURRENT_USER, kBaseSub));
    EXPECT_FALSE(CRegistryKey::IsEmptyKey(HKEY_CURRENT_USER, kBaseSub));
    EXPECT_FALSE(CRegistryKey::IsEmptyKey(nullptr, kBaseSub));
    CRegistryKey key;
    ASSERT_TRUE(key.Create(std::wstring(kBase) + L"\\A"));
    EXPECT_TRUE(CRegistryKey::IsEmptyKey(HKEY_CURRENT_USER, std::wstring(kBaseSub) + L"\\A"));
    EXPECT_FALSE(CRegistryKey::IsEmptyKey(HKEY_CURRENT_USER, kBaseSub));  // a sub-key
    ASSERT_TRUE(key.Create(std::wstring(kBase) + L"\\B"));
    ASSERT_TRUE(key.SetValue(L"x", L"1", REG_SZ));
    EXPECT_FALSE(CRegistryKey::IsEmptyKey(HKEY_CURRENT_USER, std::wstring(kBaseSub) + L"\\B"));
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kBaseSub));
    ASSERT_TRUE(key.SetValue(L"x", L"1", REG_SZ));
    key.Close();
    EXPECT_EQ(3u, CRegistryKey::CountEntries(HKEY_CURRENT_USER, kBaseSub));
    EXPECT_EQ(0u, CRegistryKey::CountEntries(HKEY_CURRENT_USER, std::wstring(kBaseSub) + L"\\A"));
}

TEST_F(RegistryKeyTest, DeleteKeyRemovesTheWholeTreeBothWays) {
    for (bool preferDeleteTree : {true, false}) {
        CRegistryKey key;
        ASSERT_TRUE(key.Create(std::wstring(kBase) + L"\\Product\\Deep\\Deeper"));
        ASSERT_TRUE(key.SetValue(L"x", L"1", REG_SZ));
        key.Close();
        EXPECT_TRUE(DeleteRegistryTree(HKEY_CURRENT_USER, std::wstring(kBaseSub) + L"\\Product",
                                       preferDeleteTree));
        EXPECT_FALSE(key.Open(std::wstring(kBase) + L"\\Product"));
        EXPECT_TRUE(key.Open(kBase));
    }
    CRegistryKey key;
    ASSERT_TRUE(key.Create(std::wstring(kBase) + L"\\Other\\Child"));
    key.Close();
    EXPECT_TRUE(CRegistryKey::DeleteKey(std::wstring(kBase) + L"\\Other"));
    EXPECT_FALSE(CRegistryKey::DeleteKey(std::wstring(kBase) + L"\\Other"));
    // A root alone or an unknown root is never deleted.
    EXPECT_FALSE(CRegistryKey::DeleteKey(L"HKEY_CURRENT_USER"));
    EXPECT_FALSE(CRegistryKey::DeleteKey(L"HKEY_CURRENT_USER\\"));
    EXPECT_FALSE(CRegistryKey::DeleteKey(L"HKCU\\Software"));
    EXPECT_TRUE(key.Open(L"HKEY_CURRENT_USER\\Software"));
}

TEST(RegistryKeyMachine, VersionRecordUnderLocalMachine) {
    const std::wstring path = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\TesselTestMaker\\Component";
    CRegistryKey key;
    if (!key.Open(path)) {
        ASSERT_TRUE(key.Create(path));
    }
    ASSERT_TRUE(key.SetValue(L"version", L"2.0.1", REG_SZ));
    key.Close();
    ASSERT_TRUE(key.Open(path));
    std::wstring text;
    EXPECT_TRUE(key.QueryValue(L"version", text, REG_SZ));
    EXPECT_EQ(L"2.0.1", text);
    key.Close();
    EXPECT_EQ(1u, CRegistryKey::CountEntries(HKEY_LOCAL_MACHINE,
                                             L"SOFTWARE\\TesselTestMaker\\Component"));
    EXPECT_TRUE(CRegistryKey::DeleteKey(path));
    EXPECT_FALSE(key.Open(path));
    EXPECT_TRUE(CRegistryKey::DeleteKey(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\TesselTestMaker"));
}
