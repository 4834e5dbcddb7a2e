#include "tools/catalog/device_state.h"

#include <stdexcept>

#include "common/text.h"
#include "updater/catalogue/program_names.h"

namespace {

// The update manager reads a version into 260 bytes: 129 characters and the end.
constexpr size_t kLongestVersion = 129;

// Where Tessel looks for the installed files on a device as installed.
const wchar_t kProgramFilesFolder[] = L"C:\\Program Files";
const wchar_t kWindowsFolder[] = L"C:\\WINDOWS";

TextList Lines(const std::wstring &text) {
    TextList lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        lines.push_back(Trim(text.substr(start, end - start)));
        start = end + 1;
    }
    return lines;
}

}  // namespace

void DeviceState::LoadInstalled(const std::wstring &text) {
    if (LooksLikeRegistryExport(text)) {
        m_registry = std::make_unique<RegistryExport>(RegistryExport::Parse(text));
        return;
    }
    const TextList lines = Lines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::wstring &line = lines[i];
        if (line.empty() || line[0] == L'#') continue;
        const size_t equals = line.find(L'=');
        if (equals == std::wstring::npos || Trim(line.substr(0, equals)).empty())
            throw std::runtime_error("line " + std::to_string(i + 1) +
                                     ": expected \"component=version\"");
        m_versions[Trim(line.substr(0, equals))] = {Trim(line.substr(equals + 1))};
    }
}

void DeviceState::LoadProgramFiles(const std::wstring &text) {
    m_programFilesKnown = true;
    for (const std::wstring &line : Lines(text)) {
        if (!line.empty() && line[0] != L'#') m_programFiles.push_back(ReplaceAll(line, L"/", L"\\"));
    }
}

bool DeviceState::ProgramFileExists(const std::wstring &component) const {
    if (!m_programFilesKnown) return true;
    const std::wstring path = InstalledFileIn(component, kProgramFilesFolder, kWindowsFolder);
    for (const std::wstring &file : m_programFiles) {
        for (const std::wstring &folder : {std::wstring(), kProgramFilesFolder + std::wstring(L"\\"),
                                          kWindowsFolder + std::wstring(L"\\")}) {
            if (EqualsNoCase(path, folder + file)) return true;
        }
    }
    return false;
}

std::wstring DeviceState::FromRegistry(const InventoryRule &rule) const {
    // The fallback key is taken without looking whether it exists, as on the device.
    const std::wstring key =
        rule.fallbackKey.empty() || m_registry->KeyExists(rule.key) ? rule.key : rule.fallbackKey;
    if (!m_registry->KeyExists(key)) return L"";
    if (rule.versionFromKeyName) return VersionFromKeyName(key);
    const RegistryValue *value = m_registry->Value(key, rule.valueName);
    return value && value->isString ? value->text : L"";
}

std::wstring DeviceState::InstalledVersion(const std::wstring &component) {
    const InventoryRule rule = FindInventoryRule(component);
    std::wstring version;
    if (m_registry) {
        version = FromRegistry(rule);
    } else {
        auto it = m_versions.find(component);
        if (it != m_versions.end()) version = it->second.front();
    }
    if (version.empty() || version.size() > kLongestVersion) return kNotInstalled;
    if (NeedsInstalledFileTest(rule, m_family) && !ProgramFileExists(component)) return kNotInstalled;
    return version;
}
