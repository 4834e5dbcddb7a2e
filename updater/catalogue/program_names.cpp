#include "updater/catalogue/program_names.h"

#include "common/text.h"

namespace {

const wchar_t kDmbComponent[] = L"marboDMB";
const wchar_t kMusicComponent[] = L"marboMUSIC";
const wchar_t kSoftKeyboardComponent[] = L"marboSoftKeyboard";
const wchar_t kDriverComponent[] = L"System Driver";

}  // namespace

ProgramNames GetProgramNames(const std::wstring &component) {
    if (EqualsNoCase(component, kDmbComponent))
        return {L"dmbplayer.exe", L"dmbplayer", L"dmbplayer"};
    if (EqualsNoCase(component, kMusicComponent))
        return {L"TuneForge.exe", L"TuneForge", L"TuneForge"};
    if (EqualsNoCase(component, kSoftKeyboardComponent))
        return {component + L".exe", component, L"marboSoftKeyboard"};
    return {component + L".exe", component, component};
}

std::wstring GetProgramFile(const std::wstring &component) {
    return GetProgramNames(component).programFile;
}

std::wstring InstalledFileIn(const std::wstring &component, const std::wstring &programFilesFolder,
                             const std::wstring &windowsFolder) {
    if (EqualsNoCase(component, kDriverComponent))
        return windowsFolder + L"\\system32\\drivers\\hwinterface.sys";
    return programFilesFolder + L"\\" + component + L"\\" + GetProgramFile(component);
}
