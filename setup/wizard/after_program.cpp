#include "setup/wizard/after_program.h"

#include "common/text.h"
#include "setup/script/folder_tokens.h"
#include "setup/script/value_escaping.h"

namespace {

std::wstring StripQuotesAtEnds(std::wstring text) {
    while (!text.empty() && text.front() == L'"') text.erase(0, 1);
    while (!text.empty() && text.back() == L'"') text.pop_back();
    return text;
}

}  // namespace

std::wstring AfterCommandLine(const SetupSettings &settings) {
    if (settings.AfterPath.empty()) return L"";
    const SetupFolders folders = settings.Folders();
    const std::wstring path =
        StripQuotesAtEnds(UnescapeValue(ExpandFolderTokens(settings.AfterPath, folders)));
    const std::wstring args = UnescapeValue(ExpandFolderTokens(settings.AfterParam, folders));
    std::wstring line = L"\"" + path + L"\"";
    if (!args.empty()) line += L" " + args;
    return line;
}

bool WantsRestart(const SetupSettings &settings) {
    return EqualsNoCase(settings.AfterReboot, L"TRUE");
}
