#include "setup/wizard/silent_options.h"

#include "common/paths.h"
#include "common/text.h"
#include "setup/engine/uninstall_record.h"

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

SetupOptions ParseSetupOptions(const std::wstring &arguments) {
    SetupOptions options;
    bool unknown = false;
    size_t at = 0;
    while (at < arguments.size()) {
        if (IsBlank(arguments[at])) {
            ++at;
            continue;
        }
        if (StartsWithNoCase(arguments.substr(at), L"/D=")) {
            options.hasDestination = true;
            options.destination = TrimRight(arguments.substr(at + 3));
            break;
        }
        size_t end = at;
        while (end < arguments.size() && !IsBlank(arguments[end])) ++end;
        const std::wstring option = arguments.substr(at, end - at);
        if (EqualsNoCase(option, L"/S"))
            options.silent = true;
        else
            unknown = true;
        at = end;
    }
    options.understood = !(options.silent && unknown);
    return options;
}

std::wstring SilentDestination(const std::wstring &given) {
    std::wstring path = NormaliseLocalPath(given);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    // "C:" and "\\server" are no folder one installs into.
    if (path.size() <= 3 || !IsFullyQualifiedPath(path + L"\\")) return L"";
    if (path[0] == L'\\' && path.find(L'\\', 2) == std::wstring::npos) return L"";
    if (path.find(L'"') != std::wstring::npos) return L"";
    return path;
}
