#include "tools/pkgbuild/script_lines.h"

#include "common/text.h"
#include "setup/script/folder_tokens.h"
#include "setup/script/value_escaping.h"

std::wstring GeneralLine(const std::wstring &key, const std::wstring &value) {
    // InstallDir is unescaped at start-up; the other General values are used as they stand.
    return L"General/" + key + L"=" + (key == L"InstallDir" ? EscapeValue(value) : value);
}

std::wstring ExecuteLine(const std::wstring &key, const std::wstring &value) {
    return L"Execute/" + key + L"=" + (key == L"AfterReboot" ? value : EscapeValue(value));
}

std::wstring FileTargetLine(const std::vector<std::wstring> &components, bool folder) {
    std::wstring line = L"File/Target=";
    for (size_t i = 0; i < components.size(); ++i)
        line += (i ? L"/" : L"") + EscapeValue(components[i]);
    if (folder) line += L"/";
    return line;
}

std::wstring RegistryLine(const RegistryValueSpec &v) {
    return L"Registry/" + EscapeValue(v.keyPath) + L"/" + EscapeValue(v.valueName) + L"/" +
           EscapeValue(v.data) + L"/" + v.type;
}

std::wstring ShortcutLine(const ShortcutSpec &s) {
    return L"Shortcut/" + EscapeValue(s.folder) + L"/" + EscapeValue(s.name) + L"/" +
           EscapeValue(s.description) + L"/" + EscapeValue(s.target) + L"/" +
           EscapeValue(s.arguments);
}

bool SurvivesEscaping(const std::wstring &raw) { return UnescapeValue(EscapeValue(raw)) == raw; }

std::vector<std::wstring> PathComponents(const std::wstring &path) {
    std::vector<std::wstring> parts;
    std::wstring part;
    for (wchar_t c : path) {
        if (c == L'\\' || c == L'/') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

bool IsSetupFolderToken(const std::wstring &c) {
    for (const wchar_t *t : {kInstallDirToken, kProgramFilesToken, kWinDirToken, kWinSysDirToken})
        if (EqualsNoCase(c, t)) return true;
    return false;
}

bool IsDriveComponent(const std::wstring &c) {
    return c.size() == 2 && c[1] == L':' &&
           ((c[0] >= L'A' && c[0] <= L'Z') || (c[0] >= L'a' && c[0] <= L'z'));
}

bool BeginsWithShortcutToken(const std::wstring &folder) {
    for (const wchar_t *t : {L"{StartMenu}", L"{Startup}", L"{DeskTop}", L"{QuickLaunch}"})
        if (StartsWithNoCase(folder, t)) return true;
    return false;
}
