#ifndef TESTS_UNIT_CATALOGUE_SAMPLE_DEVICE_H
#define TESTS_UNIT_CATALOGUE_SAMPLE_DEVICE_H

#include <string>

#include "updater/identify/device_profile.h"

// The device the catalogue tests' trees are published for: a marbo K4 EX with
// serial 9HK40001 (board folder 9HK4).
inline DeviceProfile SampleDevice(const std::wstring &windowsName = L"Win7") {
    DeviceProfile profile;
    profile.family = L"MID";
    profile.modelName = L"marbo K4";
    profile.modelSuffix = L"EX";
    profile.serial = L"9HK40001";
    profile.windowsName = windowsName;
    return profile;
}

#endif
