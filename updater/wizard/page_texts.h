#ifndef UPDATER_WIZARD_PAGE_TEXTS_H
#define UPDATER_WIZARD_PAGE_TEXTS_H

#include <string>

#include "common/localized_text.h"
#include "updater/identify/device_profile.h"

// Texts of the three wizard pages.
extern const LocalizedText kSearchHeading;
extern const LocalizedText kSelectHeading;
extern const LocalizedText kCheckAllText;
extern const LocalizedText kStartInstallText;
extern const LocalizedText kCancelText;
extern const LocalizedText kCompleteText;
extern const LocalizedText kNameColumn;
extern const LocalizedText kInstalledVersionColumn;
extern const LocalizedText kNewVersionColumn;

// The model name, and " " + suffix when there is one: the pages' status line.
std::wstring DeviceLine(const DeviceProfile &profile);

#endif
