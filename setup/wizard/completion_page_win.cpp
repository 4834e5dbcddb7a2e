#include "setup/wizard/completion_page_win.h"

#include "setup/res/resource.h"
#include "setup/wizard/wizard_bitmaps_win.h"

CCompletionPage::CCompletionPage(int templateId, const LocalizedText &header)
    : CWizardPage(templateId), header_(header) {}

CCompletionPage::~CCompletionPage() { ReleasePicture(); }

void CCompletionPage::OnInit() {
    UseHeader(header_);
    picture_ = LoadBitmapReplacingColour(GetModuleHandleW(nullptr), IDB_COMPLETION,
                                         RGB(212, 208, 200), GetSysColor(COLOR_BTNFACE));
    if (!picture_) return;
    HWND control = GetDlgItem(Window(), IDC_COMPLETION_PICTURE);
    auto old = reinterpret_cast<HBITMAP>(SendMessageW(
        control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_)));
    // The template's own copy of the picture belongs to the static until replaced.
    if (old && old != picture_) DeleteObject(old);
}

bool CCompletionPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR &result) {
    if (message == WM_DESTROY) ReleasePicture();
    return CWizardPage::OnMessage(message, wParam, lParam, result);
}

void CCompletionPage::ReleasePicture() {
    if (!picture_) return;
    if (Window()) SendDlgItemMessageW(Window(), IDC_COMPLETION_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, 0);
    DeleteObject(picture_);
    picture_ = nullptr;
}
