#include "updater/catalogue/component_list.h"

#include <algorithm>

#include "common/text.h"

void ComponentList::Put(ComponentRow row) {
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(),
                                [&row](const ComponentRow &old) {
                                    return EqualsNoCase(old.name, row.name);
                                }),
                 m_rows.end());
    m_rows.push_back(std::move(row));
}
