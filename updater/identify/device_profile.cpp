#include "updater/identify/device_profile.h"

#include <cwctype>

#include "common/text.h"

namespace {

DeviceProfile g_profile;

std::wstring TrimTrailingSpace(std::wstring text) {
    while (!text.empty() && std::iswspace(text.back()))
        text.pop_back();
    return text;
}

}  // namespace

std::wstring WindowsNameOf(const std::wstring &windowsProductName) {
    if (EqualsNoCase(windowsProductName, L"Microsoft Windows XP"))
        return L"XP";
    if (EqualsNoCase(windowsProductName, L"Microsoft Windows Vista"))
        return L"Vista";
    return L"Win7";
}

DeviceProfile BuildDeviceProfile(const DeviceIdentity &identity,
                                 const std::wstring &windowsProductName) {
    DeviceProfile profile;
    profile.family = identity.family;
    profile.modelName = identity.modelName;
    profile.modelSuffix = identity.modelSuffix;
    profile.serial = TrimTrailingSpace(identity.serial);
    // Boards of the K12 carry serials of their own series whatever the firmware names.
    if (StartsWithNoCase(profile.serial, L"HC00"))
        profile.modelName = L"marbo K12";
    profile.windowsName = WindowsNameOf(windowsProductName);
    if (StartsWithNoCase(profile.modelSuffix, L"EX "))
        profile.modelSuffix.erase(0, 3);
    return profile;
}

const DeviceProfile &GetDeviceProfile() { return g_profile; }

void SetDeviceProfile(const DeviceProfile &profile) { g_profile = profile; }
