#ifndef UPDATER_IDENTIFY_DEVICE_INFO_WIN_H
#define UPDATER_IDENTIFY_DEVICE_INFO_WIN_H

#include <string>

// One attempt at telling which of the maker's devices this is, for one family.
class CDeviceInfo {
public:
    // True when the device was identified for `family` ("MID", "CMPC"; empty means
    // "MID"); fills the model name, suffix and serial text.
    bool Identify(const std::wstring &family);

    const std::wstring &ModelName() const { return m_modelName; }
    const std::wstring &ModelSuffix() const { return m_modelSuffix; }
    const std::wstring &Serial() const { return m_serial; }

private:
    std::wstring m_modelName;
    std::wstring m_modelSuffix;
    std::wstring m_serial;
};

#endif
