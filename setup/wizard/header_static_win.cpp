#include "setup/wizard/header_static_win.h"

#include <string>

#include "setup/wizard/text_lines.h"
#include "setup/wizard/wizard_bitmaps_win.h"

namespace {

constexpr int kInsetX = 8, kInsetY = 12, kLineGap = 6;

// The face every header and welcome text uses; made once, kept for the program.
HFONT HeaderFont() {
    static HFONT font = [] {
        HDC screen = GetDC(nullptr);
        const int height = -MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72);
        ReleaseDC(nullptr, screen);
        return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, L"굴림");
    }();
    return font;
}

std::wstring WindowText(HWND window) {
    std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(window, &text[0], int(text.size()))));
    return text;
}

}  // namespace

CHeaderStatic::~CHeaderStatic() { Detach(); }

void CHeaderStatic::Attach(HWND control, Kind kind) {
    Detach();
    if (!control) return;
    window_ = control;
    kind_ = kind;
    SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
    InvalidateRect(control, nullptr, TRUE);
}

void CHeaderStatic::Detach() {
    if (!window_) return;
    if (IsWindow(window_)) {
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    }
    window_ = nullptr;
    original_ = nullptr;
}

void CHeaderStatic::SetText(const wchar_t *text) {
    if (window_) SetWindowTextW(window_, text);
}

LRESULT CALLBACK CHeaderStatic::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto *self = reinterpret_cast<CHeaderStatic *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            self->Paint(dc);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_SETTEXT: {
            LRESULT result = CallWindowProcW(self->original_, window, message, wParam, lParam);
            InvalidateRect(window, nullptr, TRUE);
            return result;
        }
        case WM_NCDESTROY: {
            WNDPROC original = self->original_;
            self->Detach();
            return CallWindowProcW(original, window, message, wParam, lParam);
        }
        default:
            return CallWindowProcW(self->original_, window, message, wParam, lParam);
    }
}

void CHeaderStatic::Paint(HDC dc) {
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    RECT content = {client.left + kInsetX, client.top + kInsetY, client.right - kInsetX,
                    client.bottom - kInsetY};
    int textRight = content.right;
    if (kind_ == Kind::Header) {
        if (HBITMAP picture = HeaderBitmap()) {
            BITMAP info = {};
            GetObjectW(picture, sizeof info, &info);
            const int x = content.right - info.bmWidth;
            const int y = content.top + (content.bottom - content.top - info.bmHeight) / 2;
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(memory, picture);
            BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
            textRight = x;
        }
    }

    HGDIOBJ oldFont = SelectObject(dc, HeaderFont());
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    const int pitch = metrics.tmHeight + kLineGap;

    int y = content.top;
    for (const std::wstring &line : SplitTextLines(WindowText(window_))) {
        if (y >= content.bottom) break;
        RECT box = {content.left, y, textRight, content.bottom};
        if (kind_ == Kind::Welcome) {
            RECT measure = box;
            DrawTextW(dc, line.c_str(), int(line.size()), &measure,
                      DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            DrawTextW(dc, line.c_str(), int(line.size()), &box, DT_WORDBREAK | DT_NOPREFIX);
            const int height = measure.bottom - measure.top;
            y += (height > metrics.tmHeight ? height : metrics.tmHeight) + kLineGap;
        } else {
            box.bottom = y + metrics.tmHeight;
            ExtTextOutW(dc, content.left, y, ETO_CLIPPED, &box, line.c_str(), UINT(line.size()),
                        nullptr);
            y += pitch;
        }
    }
    SelectObject(dc, oldFont);
}
