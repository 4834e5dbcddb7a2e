#include <gtest/gtest.h>

#include "updater/identify/device_profile.h"

namespace {

DeviceProfile Build(const std::wstring &model, const std::wstring &suffix,
                    const std::wstring &serial,
                    const std::wstring &windows = L"Microsoft Windows 7") {
    return BuildDeviceProfile({L"MID", model, suffix, serial}, windows);
}

TEST(DeviceProfile, UnknownDeviceKeepsEverythingEmpty) {
    DeviceProfile profile = BuildDeviceProfile({}, L"");
    EXPECT_EQ(L"", profile.family);
    EXPECT_EQ(L"", profile.modelName);
    EXPECT_EQ(L"", profile.modelSuffix);
    EXPECT_EQ(L"", profile.serial);
    EXPECT_EQ(L"Korea", profile.region);
    EXPECT_EQ(L"Win7", profile.windowsName);
}

TEST(DeviceProfile, SerialLosesTrailingWhiteSpaceOnly) {
    EXPECT_EQ(L" 9HK4 0001", Build(L"marbo K4", L"", L" 9HK4 0001 \t\r\n").serial);
}

TEST(DeviceProfile, Hc00SerialMakesAnyModelAK12) {
    EXPECT_EQ(L"marbo K12", Build(L"marbo K4", L"", L"HC001234").modelName);
    EXPECT_EQ(L"marbo K12", Build(L"", L"", L"hc00").modelName);
    EXPECT_EQ(L"marbo K4", Build(L"marbo K4", L"", L"HC01").modelName);
    EXPECT_EQ(L"marbo K4", Build(L"marbo K4", L"", L"HC0").modelName);
}

TEST(DeviceProfile, SuffixLosesALeadingExAndBlank) {
    EXPECT_EQ(L"H", Build(L"marbo W30 EX", L"EX H", L"").modelSuffix);
    EXPECT_EQ(L"2", Build(L"marbo W30 EX", L"ex 2", L"").modelSuffix);
    EXPECT_EQ(L"", Build(L"marbo W30 EX", L"EX ", L"").modelSuffix);
    EXPECT_EQ(L"EX-H", Build(L"marbo W30 EX", L"EX-H", L"").modelSuffix);
    EXPECT_EQ(L"EX", Build(L"marbo W30 EX", L"EX", L"").modelSuffix);
    // Only once.
    EXPECT_EQ(L"EX 1", Build(L"marbo W30 EX", L"EX EX 1", L"").modelSuffix);
}

TEST(WindowsName, OnlyXpAndVistaAreNamedOtherwiseWin7) {
    EXPECT_EQ(L"XP", WindowsNameOf(L"Microsoft Windows XP"));
    EXPECT_EQ(L"XP", WindowsNameOf(L"MICROSOFT WINDOWS xp"));
    EXPECT_EQ(L"Vista", WindowsNameOf(L"Microsoft Windows Vista"));
    EXPECT_EQ(L"Win7", WindowsNameOf(L"Microsoft Windows 7"));
    EXPECT_EQ(L"Win7", WindowsNameOf(L"Microsoft Windows 2000"));
    EXPECT_EQ(L"Win7", WindowsNameOf(L"Microsoft Windows Server 2003"));
    EXPECT_EQ(L"Win7", WindowsNameOf(L"Microsoft Windows XP Professional x64 Edition"));
    EXPECT_EQ(L"Win7", WindowsNameOf(L""));
}

TEST(DeviceProfile, ProcessWideCopyIsWhatWasSet) {
    DeviceProfile profile = Build(L"marbo K4", L"B", L"9HK40001");
    SetDeviceProfile(profile);
    EXPECT_EQ(L"marbo K4", GetDeviceProfile().modelName);
    EXPECT_EQ(L"B", GetDeviceProfile().modelSuffix);
    SetDeviceProfile({});
    EXPECT_EQ(L"", GetDeviceProfile().modelName);
}

}  // namespace
