#ifndef UPDATER_RES_RESOURCE_H
#define UPDATER_RES_RESOURCE_H

// Resource identifiers of the update manager.
#define IDI_TESSEL 128

// Dialogs: the main window, the self-update's Download window and the three wizard pages.
#define IDD_MAIN 102
#define IDD_DOWNLOAD 104
#define IDD_SEARCH_PAGE 105
#define IDD_SELECT_PAGE 106
#define IDD_PROGRESS_PAGE 107

#define IDB_SEARCH_PICTURE 10001
// The Download window's slider: channel (normal, active) and thumb (normal, active).
#define IDB_SLIDER_CHANNEL 11034
#define IDB_SLIDER_CHANNEL_ACTIVE 11035
#define IDB_SLIDER_THUMB 11036
#define IDB_SLIDER_THUMB_ACTIVE 11037

// Page controls (several pages share an identifier for the same role).
#define IDC_COMPONENT_LIST 1001
#define IDC_START_INSTALL 1002
#define IDC_CANCEL_PAGE 1003
#define IDC_COMPLETE 1006
#define IDC_LOG 1008
#define IDC_CHECK_ALL 1009
#define IDC_DOWNLOAD_PROGRESS 1010
#define IDC_EXTRACT_PROGRESS 1011
#define IDC_HEADING 1012
#define IDC_STATUS 1013

// The Download window's status line and slider.
#define IDC_DOWNLOAD_STATUS 1008
#define IDC_DOWNLOAD_SLIDER 1014

#endif
