#include "setup/script/setup_markers.h"

#include <algorithm>

const wchar_t kInstallerIdentifier[] = L"{AFA5D9B3_6269_4FC4_990D_49AE2918ED06_I}";
const wchar_t kUninstallerIdentifier[] = L"{AFA5D9B3_6269_4FC4_990D_49AE2918ED06_U}";

std::string MakeMarker(const std::wstring &identifier) {
    std::string marker;
    for (wchar_t c : identifier) {
        if (marker.size() == 260) break;
        marker += (c > 0 && c < 0x80) ? char(c) : '?';
    }
    std::reverse(marker.begin(), marker.end());
    return marker;
}

std::string InstallerMarker() { return MakeMarker(kInstallerIdentifier); }
std::string UninstallerMarker() { return MakeMarker(kUninstallerIdentifier); }
