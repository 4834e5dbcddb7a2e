#include "updater/catalogue/component_list.h"

#include <algorithm>

#include "common/paths.h"
#include "common/text.h"

std::wstring ServerFolderOf(const PackageEntry &entry) {
    std::wstring folder = entry.root + L"/" + entry.component;
    if (!entry.windowsFolder.empty())
        folder += L"/" + entry.windowsFolder;
    return NormaliseServerPath(folder + L"/" + entry.version);
}

void ComponentList::Put(ComponentRow row) {
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(),
                                [&row](const ComponentRow &old) {
                                    return EqualsNoCase(old.name, row.name);
                                }),
                 m_rows.end());
    m_rows.push_back(std::move(row));
}
