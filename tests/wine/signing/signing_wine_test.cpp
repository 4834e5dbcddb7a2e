// The device's side of signed releases on the system's own services: the file
// hash a package check reads, and the serials kept in the registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/crypto/file_sha256_win.h"
#include "common/kernel_handle_win.h"
#include "common/registry_key.h"
#include "updater/catalogue/release_serial_store_win.h"

namespace {

std::wstring TempFile(const wchar_t *name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

TEST(FileSha256Win, HashesInBlocksStopsOnRequestAndReportsAMissingFile) {
    std::string bytes(3 * 65536 + 17, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i % 253);
    const std::wstring path = TempFile(L"tessel-hash-test.bin");
    {
        CKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    }
    const auto crypto = MakeSystemCrypto();
    Sha256Digest expected{}, digest{};
    ULONGLONG size = 0;
    ASSERT_TRUE(Sha256Of(*crypto, bytes, expected));
    ASSERT_EQ(HashFileSha256(*crypto, path, nullptr, digest, size), FileHashResult::kDone);
    EXPECT_EQ(HexText(digest), HexText(expected));
    EXPECT_EQ(size, bytes.size());

    CKernelHandle stop(CreateEventW(nullptr, TRUE, TRUE, nullptr));
    EXPECT_EQ(HashFileSha256(*crypto, path, stop.Get(), digest, size), FileHashResult::kStopped);
    DeleteFileW(path.c_str());
    EXPECT_EQ(HashFileSha256(*crypto, path, nullptr, digest, size), FileHashResult::kCannotRead);
}

TEST(ReleaseSerialStoreWin, KeepsTheHighestSerialPerTree) {
    const std::wstring product = L"HKEY_CURRENT_USER\\Software\\TesselSigningTest";
    CRegistryKey::DeleteKey(product);
    CReleaseSerialStore store(product);
    const std::wstring k4 = L"/[MID]/marbo K4", setup = L"/Korea/PC/TesselMIDSetup";
    EXPECT_FALSE(store.Highest(k4).has_value());
    ASSERT_TRUE(store.Record(k4, 5));
    ASSERT_TRUE(store.Record(k4, 3));  // an older index never lowers it
    ASSERT_TRUE(store.Record(setup, 900000000000ull));
    EXPECT_EQ(store.Highest(k4).value_or(0), 5u);
    EXPECT_EQ(CReleaseSerialStore(product).Highest(setup).value_or(0), 900000000000ull);
    ASSERT_TRUE(store.Record(k4, 6));
    EXPECT_EQ(store.Highest(k4).value_or(0), 6u);

    // A value that is not a serial counts as none, and the next trusted index replaces it.
    CRegistryKey key;
    ASSERT_TRUE(key.Open(product + L"\\ReleaseSerials"));
    ASSERT_TRUE(key.SetValue(k4, L"06", REG_SZ));
    EXPECT_FALSE(store.Highest(k4).has_value());
    ASSERT_TRUE(store.Record(k4, 2));
    EXPECT_EQ(store.Highest(k4).value_or(0), 2u);
    key.Close();
    CRegistryKey::DeleteKey(product);
}

}  // namespace
