#ifndef UPDATER_CONTROLS_DIALOG_WINDOW_WIN_H
#define UPDATER_CONTROLS_DIALOG_WINDOW_WIN_H

#include <windows.h>

// A modeless dialog from a resource template whose messages go to a C++ object.
// The window is destroyed with the object at the latest.
class CDialogWindow {
public:
    CDialogWindow() = default;
    virtual ~CDialogWindow();
    CDialogWindow(const CDialogWindow &) = delete;
    CDialogWindow &operator=(const CDialogWindow &) = delete;

    bool Create(HINSTANCE instance, int templateId, HWND parent);
    // Runs the dialog modally; the result is what EndModal was given (-1 when
    // the dialog could not be made).
    INT_PTR RunModal(HINSTANCE instance, int templateId, HWND parent);
    void EndModal(INT_PTR result) const { EndDialog(m_window, result); }
    void Destroy();
    HWND Handle() const { return m_window; }
    HWND Item(int id) const { return GetDlgItem(m_window, id); }
    void SetItemText(int id, const wchar_t *text) const { SetDlgItemTextW(m_window, id, text); }
    void ShowItem(int id, bool show) const { ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE); }

protected:
    // Called for every message; return true when handled, with `result` as the
    // dialog procedure's answer (SetWindowLongPtr DWLP_MSGRESULT is done here).
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result);
    virtual void OnInitDialog() {}
    // A message whose value the dialog procedure returns itself (WM_QUERYDRAGICON,
    // WM_CTLCOLOR*...) rather than through DWLP_MSGRESULT.
    static bool ReturnsDirectly(UINT message);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
};

#endif
