#ifndef SETUP_WIZARD_WIZARD_TEXTS_H
#define SETUP_WIZARD_WIZARD_TEXTS_H

#include "common/localized_text.h"

// Every text the setup wizard shows, in Korean and in English. "\r\n" breaks
// lines in the self-painting statics, "\n" in the message boxes.
namespace wizard_text {

extern const wchar_t kFrameCaptionPrefix[];  // "Setup Wizard : " in both languages
extern const wchar_t kBoxCaption[];          // caption of the question boxes
extern const wchar_t kBrowseTitle[];         // title of the folder browser

extern const LocalizedText kPrev, kNext, kInstall, kUninstall, kComplete, kCancel;

extern const LocalizedText kInstallWelcome, kUninstallWelcome;

extern const LocalizedText kDestinationHeader, kDestinationNote, kDestinationGroup, kBrowse,
    kSpaceRequired, kSpaceAvailable, kSpaceUnknown;

extern const LocalizedText kInstallingHeader, kUninstallingHeader, kFolderLabel,
    kInstallingItemLabel, kUninstallingItemLabel;

extern const LocalizedText kInstallCompletedHeader, kUninstallCompletedHeader;

extern const LocalizedText kQuitInstall, kQuitUninstall, kRestart;

}  // namespace wizard_text

#endif
