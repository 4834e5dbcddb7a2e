#include "updater/catalogue/release_serial_store_win.h"

#include "common/registry_key.h"
#include "common/text.h"
#include "updater/catalogue/release_index.h"

CReleaseSerialStore::CReleaseSerialStore(std::wstring productKeyPath)
    : m_keyPath(std::move(productKeyPath) + L"\\ReleaseSerials") {}

std::optional<std::uint64_t> CReleaseSerialStore::Highest(const std::wstring &tree) const {
    CRegistryKey key;
    std::wstring text;
    std::uint64_t serial = 0;
    if (!key.Open(m_keyPath) || !key.QueryValue(tree, text) || !ParseSerialText(NarrowUtf8(text), serial))
        return std::nullopt;
    return serial;
}

bool CReleaseSerialStore::Record(const std::wstring &tree, std::uint64_t serial) {
    const std::optional<std::uint64_t> highest = Highest(tree);
    if (highest && *highest >= serial) return true;
    CRegistryKey key;
    return key.Create(m_keyPath) && key.SetValue(tree, std::to_wstring(serial), REG_SZ);
}
