#include "updater/catalogue/server_folders.h"

#include <cwchar>

std::wstring FamilyFolder(const DeviceProfile &profile) { return L"/[" + profile.family + L"]"; }

std::wstring FirstReportFolder(const DeviceProfile &profile) {
    return FamilyFolder(profile) + L"/[]";
}

std::wstring SecondReportFolder(const DeviceProfile &profile, unsigned short languageId) {
    wchar_t language[8];
    std::swprintf(language, 8, L"%04X", static_cast<unsigned>(languageId));
    return FirstReportFolder(profile) + L"/(" + BoardFolder(profile) + L") (" +
           profile.modelName + L") (" + profile.modelSuffix + L") (" + language + L")";
}

std::wstring ModelFolder(const DeviceProfile &profile) {
    return FamilyFolder(profile) + L"/" + profile.modelName;
}

std::wstring BoardFolder(const DeviceProfile &profile) {
    return profile.serial.empty() ? L"0000" : profile.serial.substr(0, 4);
}

std::wstring DriverRoot(const DeviceProfile &profile, int n) {
    return ModelFolder(profile) + L"/[common2]/Drivers_" + std::to_wstring(n);
}

std::wstring SetupRoot(const DeviceProfile &profile) {
    return ModelFolder(profile) + L"/" + BoardFolder(profile) + L"/Setup";
}
