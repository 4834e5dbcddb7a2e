#include "updater/wizard/install_run.h"

#include "common/paths.h"
#include "common/text.h"
#include "updater/catalogue/listing_names.h"

std::wstring WindowTitleFor(const std::wstring &component) {
    if (EqualsNoCase(component, L"marboMusic"))
        return L"Tune Forge";
    const std::wstring prefix = L"marbo";
    if (component.size() > prefix.size() && StartsWithNoCase(component, prefix) &&
        component[prefix.size()] != L' ')
        return component.substr(0, prefix.size()) + L" " + component.substr(prefix.size());
    return component;
}

bool IsZipPackage(const std::wstring &fileName) { return EndsWithNoCase(fileName, L".zip"); }

PackagePlace PlacePackage(const PackageEntry &entry, const std::wstring &programFolder) {
    PackagePlace place;
    place.component = entry.component;
    place.windowsFolder = entry.windowsFolder;
    place.version = entry.version;
    place.fileName = entry.fileName;
    place.packageName = ListedPackageName(entry.fileName);
    place.localFolder =
        NormaliseLocalPath(programFolder + L"\\Temp" + L"/" + entry.component + L"/" + entry.version);
    place.serverFolder = ServerFolderOf(entry);
    return place;
}

std::wstring RemotePackagePath(const std::wstring &server, const PackagePlace &place) {
    std::wstring path = NormaliseServerPath(place.serverFolder + L"/" + place.fileName);
    if (!path.empty() && path[0] == L'/')
        path.erase(0, 1);
    return StripTrailing(server, L'/') + L"/" + path;
}

std::wstring InstallerCommandLine(const std::wstring &path, const std::wstring &associatedProgram) {
    const std::wstring quotedPath = L"\"" + path + L"\"";
    if (EndsWithNoCase(path, L".exe") || associatedProgram.empty())
        return quotedPath;
    const std::wstring program = L"\"" + associatedProgram + L"\"";
    if (EndsWithNoCase(path, L".msi"))
        return program + L" /i " + quotedPath;
    return program + L" " + quotedPath;
}

std::wstring QuietInstallerCommandLine(const std::wstring &path,
                                       const std::wstring &associatedProgram, bool setupPackage) {
    const std::wstring commandLine = InstallerCommandLine(path, associatedProgram);
    if (EndsWithNoCase(path, L".exe"))
        return setupPackage ? commandLine + L" /S" : commandLine;
    if (EndsWithNoCase(path, L".msi") && !associatedProgram.empty())
        return commandLine + L" /qn";
    return commandLine;
}

std::wstring RunHeading(int ordinal, int count, const std::wstring &component,
                        const std::wstring &version) {
    return L"[" + std::to_wstring(ordinal) + L" / " + std::to_wstring(count) + L"] " + component +
           L" " + version;
}

std::wstring DownloadLogLine(const std::wstring &fileName, unsigned short langId) {
    if (langId == kKoreanLangId)
        return L"  - \"" + fileName + L"\" 파일을 다운로드 중입니다.\r\n";
    return L"  - Downloading \"" + fileName + L"\" file.\r\n";
}

std::wstring InstallLogLine(const std::wstring &fileName, unsigned short langId) {
    if (langId == kKoreanLangId)
        return L"  - \"" + fileName + L"\" 파일을 설치 중입니다.\r\n";
    return L"  - Installing \"" + fileName + L"\" file.\r\n";
}

const LocalizedText kRunCompleteText = {L"모든 파일의 설치가 완료되었습니다.",
                                        L"Installation of all files is complete."};

void InstallSequence::Reset(std::vector<PackageList> rows) {
    m_rows = std::move(rows);
    m_row = -1;
    m_entry = 0;
    m_done = false;
}

const PackageEntry *InstallSequence::Current() const {
    if (m_done || m_row < 0)
        return nullptr;
    return &m_rows[static_cast<size_t>(m_row)][m_entry];
}

bool InstallSequence::AtRowEnd() const {
    return Current() && m_entry + 1 == m_rows[static_cast<size_t>(m_row)].size();
}

const PackageEntry *InstallSequence::Next() {
    if (m_done)
        return nullptr;
    if (m_row >= 0 && !AtRowEnd()) {
        ++m_entry;
        return Current();
    }
    for (++m_row; m_row < SelectedCount(); ++m_row) {
        if (!m_rows[static_cast<size_t>(m_row)].empty()) {
            m_entry = 0;
            return Current();
        }
    }
    m_done = true;
    return nullptr;
}
