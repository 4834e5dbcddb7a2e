#include "setup/script/setup_settings.h"

#include <iterator>

#include "common/text.h"
#include "setup/script/script_line.h"
#include "setup/script/value_escaping.h"

SetupFolders SetupSettings::Folders() const {
    return SetupFolders{ProgramFilesDir, WindowsDir, SystemDir, InstallDir};
}

SetupSettings &ProcessSetupSettings() {
    static SetupSettings settings;
    return settings;
}

std::wstring ProductCaption(const SetupSettings &s) {
    std::wstring caption = s.Title;
    if (!s.Prefix.empty()) caption += L" - " + s.Prefix;
    if (!s.Version.empty()) {
        if (!EndsWithNoCase(caption, L" v.")) caption += L' ';
        caption += s.Version;
    }
    return caption;
}

std::wstring ProductCaption() { return ProductCaption(ProcessSetupSettings()); }

std::wstring InstallFolderNameOf(const std::wstring &installDir) {
    std::wstring last;
    size_t start = 0;
    for (int count = 0; count < 100; ++count) {
        size_t end = installDir.find(L'\\', start);
        std::wstring part = installDir.substr(start, end == std::wstring::npos
                                                         ? std::wstring::npos
                                                         : end - start);
        if (part.empty()) break;
        last = part;
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return last;
}

SetupScriptReader::SetupScriptReader(SetupSettings &settings, Trace trace)
    : settings_(settings), trace_(std::move(trace)) {}

void SetupScriptReader::Store(std::wstring &field, const wchar_t *key, const std::wstring &value) {
    field = value;
    if (trace_) trace_(std::wstring(key) + L"=" + value);
}

void SetupScriptReader::AddEntry(const std::wstring &name, double uncompressedSize) {
    settings_.RequiredBytes += uncompressedSize;
    ScriptLine line = ParseScriptLine(name);
    if (!line.hasSection) return;

    if (IsSection(line, L"File")) {
        settings_.HasFiles = L"TRUE";
        return;
    }
    struct Key {
        const wchar_t *name;
        std::wstring SetupSettings::*field;
    };
    static const Key kGeneral[] = {
        {L"Title", &SetupSettings::Title},     {L"Prefix", &SetupSettings::Prefix},
        {L"Name", &SetupSettings::Name},       {L"Version", &SetupSettings::Version},
        {L"Suffix", &SetupSettings::Suffix},   {L"InstallDir", &SetupSettings::InstallDir},
    };
    static const Key kExecute[] = {
        {L"AfterPath", &SetupSettings::AfterPath},
        {L"AfterParam", &SetupSettings::AfterParam},
        {L"AfterReboot", &SetupSettings::AfterReboot},
    };
    const Key *begin = nullptr, *end = nullptr;
    if (IsSection(line, L"General")) {
        begin = std::begin(kGeneral);
        end = std::end(kGeneral);
    } else if (IsSection(line, L"Execute")) {
        begin = std::begin(kExecute);
        end = std::end(kExecute);
    } else {
        return;
    }
    KeyValue kv = SplitKeyValue(line.remainder);
    if (!kv.valid) return;
    for (const Key *k = begin; k != end; ++k)
        if (EqualsNoCase(kv.key, k->name)) {
            Store(settings_.*(k->field), k->name, StripTrailing(kv.value, L'/'));
            return;
        }
}

void SetupScriptReader::Finish() {
    settings_.InstallDir =
        UnescapeValue(ExpandSystemFolderTokens(settings_.InstallDir, settings_.Folders()));
    settings_.InstallFolderName = InstallFolderNameOf(settings_.InstallDir);
}
