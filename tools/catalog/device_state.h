#ifndef TOOLS_CATALOG_DEVICE_STATE_H
#define TOOLS_CATALOG_DEVICE_STATE_H

#include <memory>
#include <string>

#include "common/text_list_table.h"
#include "tools/catalog/registry_export.h"
#include "updater/catalogue/inventory_rules.h"

// What is installed on a device the preview stands for, read by the update
// manager's own rules: the registry values it reads (from a registry export, or
// a plain "component=version" list) and which program files exist, since a
// maker component counts as installed on a MID only with its program file.
class DeviceState : public InstalledVersions {
public:
    // Nothing installed.
    explicit DeviceState(std::wstring family) : m_family(std::move(family)) {}

    // A registry export or "component=version" lines ("#" starts a comment).
    // Throws std::runtime_error ("line N: why") for text that is neither.
    void LoadInstalled(const std::wstring &text);
    // One path a line, "\" or "/" separated: a program file that exists, as its
    // whole path ("C:\Program Files\marboDMB\dmbplayer.exe") or below the
    // Program Files or Windows folder ("marboDMB\dmbplayer.exe",
    // "system32\drivers\hwinterface.sys"); letter case is ignored.
    // Without a list every program file counts as present.
    void LoadProgramFiles(const std::wstring &text);

    std::wstring InstalledVersion(const std::wstring &component) override;

    bool ProgramFilesKnown() const { return m_programFilesKnown; }

private:
    std::wstring FromRegistry(const InventoryRule &rule) const;
    bool ProgramFileExists(const std::wstring &component) const;

    std::wstring m_family;
    std::unique_ptr<RegistryExport> m_registry;
    TextListTable m_versions;  // the plain list: component -> its version
    TextList m_programFiles;
    bool m_programFilesKnown = false;
};

#endif
