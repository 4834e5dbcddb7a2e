#ifndef UPDATER_TRANSFER_EXTRACT_TEXTS_H
#define UPDATER_TRANSFER_EXTRACT_TEXTS_H

#include <string>

#include "common/localized_text.h"

// The extraction's failure texts.
extern const LocalizedText kCannotOpenInstallationFiles;
extern const LocalizedText kCopyingInstallationFilesFailed;

// "At least <total> of disk space is needed", the total named in the size
// text's three forms ("%dB", "%.1fKB", "%.1fMB"), in the language of `langId`.
std::wstring DiskSpaceMessage(double totalBytes, unsigned short langId);

#endif
