#include "tools/pkgbuild/package_description.h"

#include <iterator>

#include "common/text.h"

namespace {

const wchar_t *const kGeneralKeys[] = {L"Title",   L"Prefix", L"Name",
                                       L"Version", L"Suffix", L"InstallDir"};
const wchar_t *const kExecuteKeys[] = {L"AfterPath", L"AfterParam", L"AfterReboot"};
const wchar_t *const kShortcutKeys[] = {L"Folder", L"Name", L"Description", L"Target",
                                        L"Arguments"};

enum class Section { None, General, Execute, Package, Files, Registry, Shortcut };

std::string Utf8(const std::wstring &w) { return NarrowUtf8(w); }

template <size_t N>
const wchar_t *Canonical(const wchar_t *const (&keys)[N], const std::wstring &key) {
    for (const wchar_t *k : keys)
        if (EqualsNoCase(key, k)) return k;
    return nullptr;
}

template <size_t N>
std::string KeyList(const wchar_t *const (&keys)[N]) {
    std::string list;
    for (const wchar_t *k : keys) list += (list.empty() ? "" : ", ") + Utf8(k);
    return list;
}

class Parser {
public:
    Parser(const std::string &file, Diagnostics &d) : d_(d) { desc_.file = file; }

    PackageDescription Run(const std::string &text) {
        size_t start = 0;
        if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            ++line_;
            Line(Trim(WidenUtf8(text.substr(start, end - start))));
            start = end + 1;
        }
        EndShortcut();
        return desc_;
    }

private:
    void Error(const std::string &message) { d_.Add(desc_.file, line_, message); }

    void Line(const std::wstring &text) {
        if (text.empty() || text[0] == L'#' || text[0] == L';') return;
        if (text[0] == L'[') return Header(text);
        std::wstring key, value;
        size_t eq = text.find(L'=');
        if (eq == std::wstring::npos) {
            if (section_ == Section::Registry) return RegistryValue(text, L"");
            return Error("expected \"key = value\", found \"" + Utf8(text) + "\"");
        }
        key = Trim(text.substr(0, eq));
        value = Trim(text.substr(eq + 1));
        if (key.empty()) return Error("a line begins with \"=\": the key is missing");
        switch (section_) {
            case Section::None:
                return Error("\"" + Utf8(key) + "\" stands before the first [section]");
            case Section::General: return Keyed(desc_.general, kGeneralKeys, key, value, "General");
            case Section::Execute: return Keyed(desc_.execute, kExecuteKeys, key, value, "Execute");
            case Section::Package: return PackageValue(key, value);
            case Section::Files: desc_.files.push_back({key, value, line_}); return;
            case Section::Registry: return RegistryValue(key, value);
            case Section::Shortcut: return ShortcutValue(key, value);
        }
    }

    void Header(const std::wstring &text) {
        EndShortcut();
        if (text.back() != L']') {
            section_ = Section::None;
            return Error("a section header must end with \"]\"");
        }
        std::wstring name = Trim(text.substr(1, text.size() - 2));
        std::wstring word = name.substr(0, name.find(L' '));
        std::wstring rest = Trim(name.substr(word.size()));
        struct Named { const wchar_t *name; Section section; };
        static const Named kSections[] = {
            {L"General", Section::General}, {L"Execute", Section::Execute},
            {L"Package", Section::Package}, {L"Files", Section::Files},
            {L"Registry", Section::Registry}, {L"Shortcut", Section::Shortcut}};
        section_ = Section::None;
        for (const Named &n : kSections)
            if (EqualsNoCase(word, n.name)) section_ = n.section;
        if (section_ == Section::None)
            return Error("unknown section [" + Utf8(name) +
                         "]; known are [General], [Execute], [Package], [Files], "
                         "[Registry <key path>] and [Shortcut]");
        if (section_ == Section::Registry) {
            registryKey_ = rest;
            registryKeyLine_ = line_;
            if (rest.empty()) {
                Error("[Registry] needs the key path: [Registry HKEY_LOCAL_MACHINE\\SOFTWARE\\...]");
            }
        } else if (!rest.empty()) {
            Error("[" + Utf8(word) + "] takes nothing after its name");
        }
        if (section_ == Section::Shortcut) {
            shortcut_ = ShortcutSpec();
            shortcut_.line = line_;
            shortcutKeys_.clear();
            inShortcut_ = true;
        }
    }

    template <size_t N>
    void Keyed(std::vector<DescribedValue> &into, const wchar_t *const (&keys)[N],
               const std::wstring &key, const std::wstring &value, const char *section) {
        const wchar_t *canonical = Canonical(keys, key);
        if (!canonical)
            return Error("unknown key \"" + Utf8(key) + "\" in [" + section + "]; known are " +
                         KeyList(keys));
        for (const DescribedValue &v : into)
            if (v.key == canonical)
                return Error(Utf8(canonical) + " is given twice (first on line " +
                             std::to_string(v.line) + ")");
        into.push_back({canonical, value, line_});
    }

    void PackageValue(const std::wstring &key, const std::wstring &value) {
        if (!EqualsNoCase(key, L"Uninstaller"))
            return Error("unknown key \"" + Utf8(key) + "\" in [Package]; known is Uninstaller");
        if (EqualsNoCase(value, L"yes") || EqualsNoCase(value, L"true")) desc_.uninstaller = true;
        else if (EqualsNoCase(value, L"no") || EqualsNoCase(value, L"false"))
            desc_.uninstaller = false;
        else Error("Uninstaller must be yes or no, not \"" + Utf8(value) + "\"");
    }

    void RegistryValue(const std::wstring &name, const std::wstring &typeAndData) {
        if (registryKey_.empty()) return;  // the header was already reported
        size_t blank = typeAndData.find_first_of(L" \t");
        std::wstring type = AsciiUpper(typeAndData.substr(0, blank));
        std::wstring data = blank == std::wstring::npos ? L"" : Trim(typeAndData.substr(blank));
        if (type.empty())
            return Error("registry value \"" + Utf8(name) +
                         "\" needs a type: \"name = REG_SZ text\" or \"name = REG_DWORD number\"");
        if (type != L"REG_SZ" && type != L"REG_DWORD")
            return Error("registry type " + Utf8(type) +
                         " is not supported: the setup wizard writes REG_SZ and REG_DWORD only");
        desc_.registry.push_back({registryKey_, name, type, data, line_});
    }

    void ShortcutValue(const std::wstring &key, const std::wstring &value) {
        const wchar_t *canonical = Canonical(kShortcutKeys, key);
        if (!canonical)
            return Error("unknown key \"" + Utf8(key) + "\" in [Shortcut]; known are " +
                         KeyList(kShortcutKeys));
        for (const std::wstring &seen : shortcutKeys_)
            if (seen == canonical) return Error(Utf8(canonical) + " is given twice in this [Shortcut]");
        shortcutKeys_.push_back(canonical);
        std::wstring ShortcutSpec::*fields[] = {&ShortcutSpec::folder, &ShortcutSpec::name,
                                                &ShortcutSpec::description, &ShortcutSpec::target,
                                                &ShortcutSpec::arguments};
        for (size_t i = 0; i < std::size(kShortcutKeys); ++i)
            if (canonical == kShortcutKeys[i]) shortcut_.*fields[i] = value;
    }

    void EndShortcut() {
        if (!inShortcut_) return;
        inShortcut_ = false;
        std::string missing;
        if (shortcut_.folder.empty()) missing += " Folder";
        if (shortcut_.name.empty()) missing += " Name";
        if (shortcut_.target.empty()) missing += " Target";
        if (!missing.empty()) {
            d_.Add(desc_.file, shortcut_.line, "this [Shortcut] lacks" + missing);
            return;
        }
        desc_.shortcuts.push_back(shortcut_);
    }

    Diagnostics &d_;
    PackageDescription desc_;
    int line_ = 0;
    Section section_ = Section::None;
    std::wstring registryKey_;
    int registryKeyLine_ = 0;
    ShortcutSpec shortcut_;
    std::vector<std::wstring> shortcutKeys_;
    bool inShortcut_ = false;
};

std::wstring Find(const std::vector<DescribedValue> &values, const wchar_t *key) {
    for (const DescribedValue &v : values)
        if (v.key == key) return v.value;
    return L"";
}

}  // namespace

std::wstring PackageDescription::General(const wchar_t *key) const { return Find(general, key); }
std::wstring PackageDescription::Execute(const wchar_t *key) const { return Find(execute, key); }

int PackageDescription::LineOf(const std::vector<DescribedValue> &values, const wchar_t *key) const {
    for (const DescribedValue &v : values)
        if (v.key == key) return v.line;
    return 0;
}

PackageDescription ParseDescription(const std::string &utf8Text, const std::string &fileName,
                                    Diagnostics &diagnostics) {
    return Parser(fileName, diagnostics).Run(utf8Text);
}
