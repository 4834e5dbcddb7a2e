#include "updater/identify/device_info_win.h"

#include "updater/identify/identification_sources_win.h"

bool CDeviceInfo::Identify(const std::wstring &family) {
    SystemIdentificationSources sources;
    return IdentifyDevice(family, sources, m_found);
}
