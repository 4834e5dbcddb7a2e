#ifndef SETUP_WIZARD_DESTINATION_PAGE_WIN_H
#define SETUP_WIZARD_DESTINATION_PAGE_WIN_H

#include <string>

#include "setup/wizard/wizard_page_win.h"

// Destination page (106): the folder to install into, kept equal to the
// settings' InstallDir as the user types, the folder browser, and the space the
// package needs beside the space left on the folder's volume.
class CDestinationPage : public CWizardPage {
public:
    CDestinationPage();

private:
    void OnInit() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR &result) override;

    void Browse();
    void ShowDiskSpace();
    std::wstring EditText() const;
};

#endif
