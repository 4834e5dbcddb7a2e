#include "updater/controls/dialog_window_win.h"

CDialogWindow::~CDialogWindow() { Destroy(); }

bool CDialogWindow::Create(HINSTANCE instance, int templateId, HWND parent) {
    Destroy();
    return CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR CDialogWindow::RunModal(HINSTANCE instance, int templateId, HWND parent) {
    Destroy();
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void CDialogWindow::Destroy() {
    if (m_window)
        DestroyWindow(m_window);  // WM_NCDESTROY clears m_window
}

bool CDialogWindow::OnMessage(UINT, WPARAM, LPARAM, LRESULT &) { return false; }

bool CDialogWindow::ReturnsDirectly(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return true;
    default:
        return false;
    }
}

INT_PTR CALLBACK CDialogWindow::DialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    CDialogWindow *self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialogWindow *>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->m_window = window;
        self->OnInitDialog();
        return TRUE;
    }
    self = reinterpret_cast<CDialogWindow *>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self)
        return FALSE;
    if (message == WM_NCDESTROY) {
        LRESULT ignored = 0;
        self->OnMessage(message, wParam, lParam, ignored);
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->m_window = nullptr;
        return FALSE;
    }
    LRESULT result = 0;
    if (!self->OnMessage(message, wParam, lParam, result))
        return FALSE;
    if (ReturnsDirectly(message))
        return static_cast<INT_PTR>(result);
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}
