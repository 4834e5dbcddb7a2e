#ifndef SETUP_WIZARD_DESTINATION_RULES_H
#define SETUP_WIZARD_DESTINATION_RULES_H

#include <string>

// The folder a Browse pick becomes: the product's own folder name is appended
// ("\" + folderName) unless the pick already holds it after its first character;
// doubled backslashes are reduced to one (a leading "\\" of a network path stays).
// An empty folder name leaves the pick as it is.
std::wstring DestinationFromPick(const std::wstring &picked, const std::wstring &folderName);

// The volume whose free space is shown: the first two characters ("C:").
std::wstring VolumeOf(const std::wstring &installDir);

#endif
