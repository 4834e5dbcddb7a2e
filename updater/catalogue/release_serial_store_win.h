#ifndef UPDATER_CATALOGUE_RELEASE_SERIAL_STORE_WIN_H
#define UPDATER_CATALOGUE_RELEASE_SERIAL_STORE_WIN_H

#include <cstdint>
#include <optional>
#include <string>

// The highest index serial this device has trusted for each tree, kept below
// the product key ("...\Parvoni\TesselMID\ReleaseSerials", one string value
// per tree path holding the decimal serial), so that an older index served
// later is refused even across restarts.
class CReleaseSerialStore {
public:
    explicit CReleaseSerialStore(std::wstring productKeyPath);

    // Nothing when no serial was recorded or the value is not a serial.
    std::optional<std::uint64_t> Highest(const std::wstring &tree) const;
    // Keeps `serial` when it is higher than the recorded one; false when the
    // registry refused the write.
    bool Record(const std::wstring &tree, std::uint64_t serial);

private:
    std::wstring m_keyPath;
};

#endif
