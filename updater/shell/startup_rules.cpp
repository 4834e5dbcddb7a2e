#include "updater/shell/startup_rules.h"

#include "common/text.h"

const wchar_t kSingleInstanceName[] = L"31E22172_9116_442E_A5AD_135422B51BA1_TesselMID";
const wchar_t kMainWindowClass[] = L"Tessel";
const wchar_t kProgramFileName[] = L"\\Tessel.exe";
const wchar_t kWindowsStartArgument[] = L"/WindowsStart";

std::wstring TempFolderOf(const std::wstring &programFolder) { return programFolder + L"\\Temp\\"; }

bool IsWindowsStartArgument(const std::wstring &arguments) {
    return EqualsNoCase(Trim(arguments), kWindowsStartArgument);
}
