#ifndef UPDATER_CATALOGUE_COMPONENT_LIST_H
#define UPDATER_CATALOGUE_COMPONENT_LIST_H

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/crypto/sha256_digest.h"

// What the maker's signed release index says a package file is.
struct SignedDigest {
    bool known = false;  // false: the file is not in a signed index (or there is none)
    std::uint64_t size = 0;
    Sha256Digest sha256{};
};

// One package file of an offered component: where it lies on the server.
struct PackageEntry {
    PackageEntry() = default;
    PackageEntry(std::wstring root, std::wstring component, std::wstring windowsFolder,
                 std::wstring version, std::wstring fileName, SignedDigest digest = {})
        : root(std::move(root)), component(std::move(component)),
          windowsFolder(std::move(windowsFolder)), version(std::move(version)),
          fileName(std::move(fileName)), digest(digest) {}

    std::wstring root;           // the catalogue root the component was found under
    std::wstring component;
    std::wstring windowsFolder;  // "Win7", "Vista", "XP"; empty under the setup root
    std::wstring version;
    std::wstring fileName;
    SignedDigest digest;         // filled by a search over a signed index
};

// The package's folder on the server: root/component[/Windows folder]/version,
// with no doubled "/".
std::wstring ServerFolderOf(const PackageEntry &entry);

// The files of a component's newest version, in the order they are installed.
using PackageList = std::vector<PackageEntry>;

// One row of the selection page.
struct ComponentRow {
    std::wstring name;
    std::wstring installedVersion;
    std::wstring newVersion;
    bool checked = false;  // the offer is newer than what is installed
    // Owned by the row; its address stays put for as long as the row lives, so a
    // list view item can carry it.
    std::unique_ptr<PackageList> packages;
};

// The offered components, at most one row per name (ASCII letter case ignored).
class ComponentList {
public:
    // Removes every row named like `row` and appends `row` at the end.
    void Put(ComponentRow row);
    void Clear() { m_rows.clear(); }
    bool Empty() const { return m_rows.empty(); }
    size_t Size() const { return m_rows.size(); }
    const ComponentRow &operator[](size_t index) const { return m_rows[index]; }
    const std::vector<ComponentRow> &Rows() const { return m_rows; }

private:
    std::vector<ComponentRow> m_rows;
};

#endif
