#ifndef SETUP_RES_RESOURCE_H
#define SETUP_RES_RESOURCE_H

// Resource identifiers of the setup wizard.
#define IDI_MARBOSETUP 128

// Frames: modal dialogs whose pages are child dialogs over the client area
// above the 52-pixel button strip.
#define IDD_INSTALL_WIZARD 101
#define IDD_UNINSTALL_WIZARD 102

// Pages. The install frame's page index 1 has no page of its own.
#define IDD_INSTALL_WELCOME 104
#define IDD_INSTALL_DESTINATION 106
#define IDD_INSTALL_PROGRESS 107
#define IDD_INSTALL_COMPLETION 108
#define IDD_UNINSTALL_WELCOME 109
#define IDD_UNINSTALL_PROGRESS 110
#define IDD_UNINSTALL_COMPLETION 111

// Bitmaps.
#define IDB_WELCOME 129     // 164 x 314, side picture of the welcome pages
#define IDB_COMPLETION 130  // 494 x 250, RGB(212,208,200) becomes the button face
#define IDB_HEADER 131      // 70 x 42, RGB(251,251,251) becomes white

// Frame buttons (Cancel is IDCANCEL).
#define IDC_PREV 1001
#define IDC_NEXT 1002
#define IDC_INSTALL 1003
#define IDC_UNINSTALL 1004
#define IDC_COMPLETE 1006

// Header and welcome texts are plain statics that the pages subclass and paint.
#define IDC_WELCOME_TEXT 1011
#define IDC_HEADER 1013

// Welcome and completion pictures (SS_BITMAP statics).
#define IDC_WELCOME_PICTURE 1020
#define IDC_COMPLETION_PICTURE 1021

// Destination page.
#define IDC_BROWSE 1005
#define IDC_DESTINATION 1007
#define IDC_SPACE_REQUIRED 1009
#define IDC_SPACE_AVAILABLE 1010
#define IDC_DESTINATION_NOTE 1014
#define IDC_DESTINATION_GROUP 1015
#define IDC_SPACE_REQUIRED_LABEL 1016
#define IDC_SPACE_AVAILABLE_LABEL 1017

// Progress pages (the ids 1014 to 1016 mean other controls on the destination page).
#define IDC_PROGRESS_BAR 1014
#define IDC_FOLDER 1015
#define IDC_ITEM 1016
#define IDC_FOLDER_LABEL 1018
#define IDC_ITEM_LABEL 1019

#endif
