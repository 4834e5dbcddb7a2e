#ifndef SETUP_WIZARD_HEADER_STATIC_WIN_H
#define SETUP_WIZARD_HEADER_STATIC_WIN_H

#include <windows.h>

// A static of a page template that paints itself: a white area with the text
// in "굴림" 10 pt, one line per "\r\n", 8 pixels in from the sides and 12 from
// top and bottom, the lines text height + 6 pixels apart.
//
// Header: the header picture stands at the right, vertically centred, and each
// line is cut where the picture begins. Welcome: no picture, and a line too
// long for the width continues on the next line instead of being cut.
class CHeaderStatic {
public:
    enum class Kind { Header, Welcome };

    CHeaderStatic() = default;
    CHeaderStatic(const CHeaderStatic &) = delete;
    CHeaderStatic &operator=(const CHeaderStatic &) = delete;
    ~CHeaderStatic();

    // Takes over painting of `control`; its window text is what is drawn.
    void Attach(HWND control, Kind kind);
    void SetText(const wchar_t *text);
    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void Detach();

    HWND window_ = nullptr;
    WNDPROC original_ = nullptr;
    Kind kind_ = Kind::Header;
};

#endif
