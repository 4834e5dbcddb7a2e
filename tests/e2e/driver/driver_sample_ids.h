#ifndef TESTS_E2E_DRIVER_SAMPLE_IDS_H
#define TESTS_E2E_DRIVER_SAMPLE_IDS_H

// The sample dialog the driver's own tests steer.
#define IDD_SAMPLE 100
#define IDD_FIRST_PAGE 101
#define IDD_SECOND_PAGE 102

#define IDC_PRESS 1001
#define IDC_PRESSES 1002
#define IDC_ASK 1003
#define IDC_ANSWER 1004
#define IDC_LATER 1005
#define IDC_EDIT 1006
#define IDC_TYPED 1007
#define IDC_LIST 1008
#define IDC_CLICKS 1009
#define IDC_CHANGES 1010
#define IDC_PAGE_TEXT 1011
#define IDC_SWAP 1012
#define IDC_REMEMBER 1013
#define IDC_PROGRESS 1014

// Exit status of the sample when its Done button (IDOK) closes it.
#define SAMPLE_DONE_EXIT_CODE 7

#endif
