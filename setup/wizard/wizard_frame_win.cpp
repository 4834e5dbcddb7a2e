#include "setup/wizard/wizard_frame_win.h"

#include <string>

#include "setup/res/resource.h"
#include "setup/script/setup_settings.h"
#include "setup/wizard/progress_page_win.h"
#include "setup/wizard/wizard_texts.h"

namespace {

constexpr int kButtonStrip = 52;

}  // namespace

bool AskYesNo(HWND owner, const LocalizedText &question) {
    return MessageBoxW(owner, Localized(question), wizard_text::kBoxCaption,
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

CWizardFrame::CWizardFrame(int templateId, int actionButtonId, int progressPage,
                           int completionPage, const LocalizedText &quitQuestion)
    : templateId_(templateId), actionButtonId_(actionButtonId), progressPage_(progressPage),
      completionPage_(completionPage), quitQuestion_(quitQuestion) {}

CWizardFrame::~CWizardFrame() {
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
}

void CWizardFrame::Run() {
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), nullptr,
                    &DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CWizardFrame::DialogProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto *self = reinterpret_cast<CWizardFrame *>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->window_ = window;
        self->OnInit();
        return FALSE;  // ShowPage has placed the focus
    }
    auto *self = reinterpret_cast<CWizardFrame *>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) self->OnCommand(LOWORD(wParam));
            return TRUE;
        case WM_CLOSE:  // the close box asks as Cancel does
            self->OnCancel();
            return TRUE;
        case WM_SIZE:
            self->PlacePages();
            return TRUE;
        case WM_PAINT:
            self->PaintEtchedLine();
            return TRUE;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, DWLP_USER, 0);
            self->window_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

void CWizardFrame::OnInit() {
    const std::wstring caption = wizard_text::kFrameCaptionPrefix + ProductCaption();
    SetWindowTextW(window_, caption.c_str());
    CreatePages();
    PlacePages();
    SetDlgItemTextW(window_, IDC_PREV, Localized(wizard_text::kPrev));
    SetDlgItemTextW(window_, IDC_NEXT, Localized(wizard_text::kNext));
    SetDlgItemTextW(window_, IDC_INSTALL, Localized(wizard_text::kInstall));
    SetDlgItemTextW(window_, IDC_UNINSTALL, Localized(wizard_text::kUninstall));
    SetDlgItemTextW(window_, IDC_COMPLETE, Localized(wizard_text::kComplete));
    SetDlgItemTextW(window_, IDCANCEL, Localized(wizard_text::kCancel));
    SetIcons();
    ShowPage(0);
}

void CWizardFrame::SetIcons() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    bigIcon_ = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_MARBOSETUP), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON),
                                             GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_MARBOSETUP),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    if (bigIcon_) SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    if (smallIcon_)
        SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

void CWizardFrame::AddPage(int index, std::unique_ptr<CWizardPage> page) {
    if (index < 0) return;
    if (size_t(index) >= pages_.size()) pages_.resize(size_t(index) + 1);
    if (page && page->Create(window_)) pages_[size_t(index)] = std::move(page);
}

void CWizardFrame::AddProgressPage(std::unique_ptr<CProgressPage> page) {
    CProgressPage *progress = page.get();
    AddPage(progressPage_, std::move(page));
    if (size_t(progressPage_) < pages_.size() && pages_[size_t(progressPage_)])
        progress_ = progress;
}

void CWizardFrame::PlacePages() {
    RECT client;
    GetClientRect(window_, &client);
    const int height = client.bottom - client.top - kButtonStrip;
    for (const auto &page : pages_)
        if (page && page->Window())
            SetWindowPos(page->Window(), nullptr, 0, 0, client.right - client.left,
                         height > 0 ? height : 0, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, TRUE);
}

void CWizardFrame::PaintEtchedLine() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    RECT client;
    GetClientRect(window_, &client);
    const int y = client.bottom - kButtonStrip;
    RECT shadow = {client.left, y, client.right, y + 1};
    RECT light = {client.left, y + 1, client.right, y + 2};
    FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
    FillRect(dc, &light, GetSysColorBrush(COLOR_CAPTIONTEXT));
    EndPaint(window_, &ps);
}

void CWizardFrame::SetButton(int id, ButtonState state) {
    HWND button = GetDlgItem(window_, id);
    if (!button) return;
    EnableWindow(button, state == ButtonState::Shown);
    ShowWindow(button, state == ButtonState::Hidden ? SW_HIDE : SW_SHOW);
}

void CWizardFrame::Display(const PageChoice &choice) {
    // Hide first, so that two pages are never shown at once.
    for (size_t i = 0; i < pages_.size(); ++i)
        if (pages_[i] && pages_[i]->Window() && int(i) != choice.page)
            ShowWindow(pages_[i]->Window(), SW_HIDE);
    if (size_t(choice.page) < pages_.size() && pages_[size_t(choice.page)])
        ShowWindow(pages_[size_t(choice.page)]->Window(), SW_SHOW);

    const int otherAction = actionButtonId_ == IDC_INSTALL ? IDC_UNINSTALL : IDC_INSTALL;
    SetButton(otherAction, ButtonState::Hidden);
    SetButton(IDC_PREV, choice.buttons.prev);
    SetButton(IDC_NEXT, choice.buttons.next);
    SetButton(actionButtonId_, choice.buttons.action);
    SetButton(IDC_COMPLETE, choice.buttons.complete);
    SetButton(IDCANCEL, choice.buttons.cancel);
    current_ = choice.page;

    // Enter presses the button that leads on; the focus follows it.
    int leading = IDCANCEL;
    if (choice.buttons.next == ButtonState::Shown) leading = IDC_NEXT;
    else if (choice.buttons.action == ButtonState::Shown) leading = actionButtonId_;
    else if (choice.buttons.complete == ButtonState::Shown) leading = IDC_COMPLETE;
    SendMessageW(window_, DM_SETDEFID, WPARAM(leading), 0);
    HWND focus = GetDlgItem(window_, leading);
    if (focus && IsWindowEnabled(focus))
        SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
}

void CWizardFrame::OnCommand(int id) {
    switch (id) {
        case IDC_PREV: OnPrev(); break;
        case IDC_NEXT: OnNext(); break;
        case IDC_INSTALL:
        case IDC_UNINSTALL:
            if (id == actionButtonId_) OnAction();
            break;
        case IDC_COMPLETE: OnComplete(); break;
        case IDCANCEL: OnCancel(); break;
        default: break;
    }
}

void CWizardFrame::OnPrev() {
    const int target = PrevTarget(current_);
    if (target >= 0) ShowPage(target);
}

void CWizardFrame::OnNext() {
    const int target = NextTarget(current_, completionPage_);
    if (target >= 0) ShowPage(target);
}

void CWizardFrame::OnAction() {
    const int target = ActionTarget(current_, completionPage_);
    if (target < 0) return;
    ShowPage(target);
    if (current_ == progressPage_ && progress_) progress_->Start();
}

void CWizardFrame::OnCancel() {
    // Esc and the close box reach here even while Cancel is disabled: on the
    // completion page they close without Complete's actions.
    if (current_ == completionPage_) {
        Close();
        return;
    }
    if (!AskYesNo(window_, quitQuestion_)) return;
    if (progress_) progress_->StopWorker();
    Close();
}

void CWizardFrame::Close() {
    if (window_) EndDialog(window_, 0);
}
