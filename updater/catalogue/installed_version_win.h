#ifndef UPDATER_CATALOGUE_INSTALLED_VERSION_WIN_H
#define UPDATER_CATALOGUE_INSTALLED_VERSION_WIN_H

#include <string>

#include "updater/catalogue/inventory_rules.h"

// The version of `component` installed on this device, from the registry (and, for
// the maker's components on devices other than "CMPC", the presence of its
// installed file); "-" for anything that cannot be read.
std::wstring ReadInstalledVersion(const std::wstring &component, const std::wstring &family);

// The registry reader behind the catalogue walk, for one device family.
class CRegistryInventory : public InstalledVersions {
public:
    explicit CRegistryInventory(std::wstring family) : m_family(std::move(family)) {}
    std::wstring InstalledVersion(const std::wstring &component) override {
        return ReadInstalledVersion(component, m_family);
    }

private:
    std::wstring m_family;
};

#endif
