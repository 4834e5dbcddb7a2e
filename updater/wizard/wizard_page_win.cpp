#include "updater/wizard/wizard_page_win.h"

#include "resource.h"

bool CWizardPage::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT &) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_CANCEL_PAGE &&
        HIWORD(wParam) == BN_CLICKED) {
        CloseMainWindow();
        return true;
    }
    return false;
}

void CWizardPage::CloseMainWindow() const { PostMessageW(GetParent(Handle()), WM_CLOSE, 0, 0); }
