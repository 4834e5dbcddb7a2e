#include "updater/identify/device_info_win.h"

bool CDeviceInfo::Identify(const std::wstring &) {
    m_modelName.clear();
    m_modelSuffix.clear();
    m_serial.clear();
    // No identification source is built yet: every device is an unknown one.
    return false;
}
