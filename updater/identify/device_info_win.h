#ifndef UPDATER_IDENTIFY_DEVICE_INFO_WIN_H
#define UPDATER_IDENTIFY_DEVICE_INFO_WIN_H

#include <string>

#include "updater/identify/device_identification.h"

// One attempt at telling which of the maker's devices this is, for one family.
class CDeviceInfo {
public:
    // True when the device was identified for `family` ("MID", "CMPC"; empty means
    // "MID"); fills the model name, suffix and serial text.
    bool Identify(const std::wstring &family);

    const std::wstring &ModelName() const { return m_found.modelName; }
    const std::wstring &ModelSuffix() const { return m_found.modelSuffix; }
    const std::wstring &Serial() const { return m_found.serial; }
    // Every source's answer of the last attempt.
    const Identification &Evidence() const { return m_found; }

private:
    Identification m_found;
};

#endif
