#ifndef UPDATER_CATALOGUE_SERVER_FOLDERS_H
#define UPDATER_CATALOGUE_SERVER_FOLDERS_H

#include <string>

#include "updater/identify/device_profile.h"

// The update server's folders for one device, composed from its profile exactly as
// stored (no name is cleaned up: the server's tree is named the same way).

// "/[" + family + "]"
std::wstring FamilyFolder(const DeviceProfile &profile);
// family folder + "/[]": where devices report themselves.
std::wstring FirstReportFolder(const DeviceProfile &profile);
// first report folder + "/(board) (model) (suffix) (language)", the board "0000"
// when the serial text is empty; `languageId` as four upper-case hexadecimal digits.
std::wstring SecondReportFolder(const DeviceProfile &profile, unsigned short languageId);
// family folder + "/" + model name
std::wstring ModelFolder(const DeviceProfile &profile);
// The first four characters of the serial text (all of it when shorter), "0000" when empty.
std::wstring BoardFolder(const DeviceProfile &profile);
// model folder + "/[common2]/Drivers_n", n = 1 ... 9
std::wstring DriverRoot(const DeviceProfile &profile, int n);
// model folder + "/" + board folder + "/Setup"
std::wstring SetupRoot(const DeviceProfile &profile);

#endif
