#ifndef UPDATER_IDENTIFY_DEVICE_PROFILE_H
#define UPDATER_IDENTIFY_DEVICE_PROFILE_H

#include <string>

// What the update server's folders are chosen by. Start-up fills it once, before
// any other thread exists; everything else only reads it.
struct DeviceProfile {
    std::wstring region = L"Korea";
    std::wstring windowsName;  // "XP", "Vista" or "Win7"
    std::wstring family;       // "MID", "CMPC", or empty when the device is unknown
    std::wstring modelName;    // e.g. "marbo K4"
    std::wstring modelSuffix;  // the firmware model tag after the model designation
    std::wstring serial;       // serial number, or the wireless adapter address on a CMPC
};

// What identification found for one family (all empty when nothing identified it).
struct DeviceIdentity {
    std::wstring family;
    std::wstring modelName;
    std::wstring modelSuffix;
    std::wstring serial;
};

// The profile start-up keeps: serial without trailing white space; a serial
// beginning "HC00" makes any device a "marbo K12"; a suffix loses a leading "EX ";
// the Windows name is reduced from the product name.
DeviceProfile BuildDeviceProfile(const DeviceIdentity &identity,
                                 const std::wstring &windowsProductName);

// "Microsoft Windows XP" -> "XP", "Microsoft Windows Vista" -> "Vista", anything else
// (letter case ignored) -> "Win7".
std::wstring WindowsNameOf(const std::wstring &windowsProductName);

// The process-wide profile.
const DeviceProfile &GetDeviceProfile();
void SetDeviceProfile(const DeviceProfile &profile);

#endif
