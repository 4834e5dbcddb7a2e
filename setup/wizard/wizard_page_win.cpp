#include "setup/wizard/wizard_page_win.h"

#include "setup/res/resource.h"

CWizardPage::CWizardPage(int templateId) : templateId_(templateId) {}

CWizardPage::~CWizardPage() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

bool CWizardPage::Create(HWND frame) {
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), frame,
                              &DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR CALLBACK CWizardPage::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto *self = reinterpret_cast<CWizardPage *>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->window_ = window;
        self->OnInit();
        return FALSE;  // the frame decides where the focus goes
    }
    auto *self = reinterpret_cast<CWizardPage *>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    INT_PTR result = 0;
    bool handled = self->OnMessage(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->window_ = nullptr;
    }
    if (!handled) return FALSE;
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

bool CWizardPage::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR &result) {
    if (message == WM_PAINT && hasHeader_) {
        PaintHeaderLine();
        result = 0;
        return true;
    }
    return false;
}

void CWizardPage::UseHeader(const LocalizedText &text) {
    HWND control = GetDlgItem(window_, IDC_HEADER);
    if (!control) return;
    header_.Attach(control, CHeaderStatic::Kind::Header);
    header_.SetText(Localized(text));
    hasHeader_ = true;
}

void CWizardPage::SetItemText(int id, const LocalizedText &text) {
    SetDlgItemTextW(window_, id, Localized(text));
}

void CWizardPage::SetItemText(int id, const std::wstring &text) {
    SetDlgItemTextW(window_, id, text.c_str());
}

void CWizardPage::PaintHeaderLine() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    RECT header;
    GetWindowRect(header_.Window(), &header);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT *>(&header), 2);
    RECT client;
    GetClientRect(window_, &client);
    RECT line = {client.left, header.bottom, client.right, header.bottom + 1};
    FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
    EndPaint(window_, &ps);
}
