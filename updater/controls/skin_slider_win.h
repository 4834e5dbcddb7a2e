#ifndef UPDATER_CONTROLS_SKIN_SLIDER_WIN_H
#define UPDATER_CONTROLS_SKIN_SLIDER_WIN_H

#include <windows.h>

#include "updater/controls/slider_travel.h"

// Posted to the parent: wParam the control's identifier, lParam the new position.
constexpr UINT WM_SKINSLIDER_MOVING = 0x28D1;  // during a drag, on each change
constexpr UINT WM_SKINSLIDER_MOVED = 0x28D2;   // at the end of a drag, after a key step

// The colour value that stands for "the colour of the image's pixel at (x, y)".
constexpr COLORREF kSkinKeyFromPixel = 0xFF000000;

// A slider drawn from bitmaps: a channel, a thumb and optional "active" images
// of both (the travelled part of the channel, the thumb while dragged). It
// subclasses a static control of a dialog. Painting is double-buffered. Like any
// window's state it belongs to the window's thread: workers publish a position
// and the window's thread moves the thumb when their notice arrives.
class CSkinSlider {
public:
    CSkinSlider();
    virtual ~CSkinSlider();
    CSkinSlider(const CSkinSlider &) = delete;
    CSkinSlider &operator=(const CSkinSlider &) = delete;

    // Takes over the window procedure of `control` (a static) until it is destroyed.
    bool Attach(HWND control);
    HWND Handle() const { return window_; }

    // Bitmaps are resources of the program's module. `normalId` 0 forgets the
    // images. With `transparent`, the key colour is `colour`, or the colour of
    // the pixel at (x, y) when `colour` is kSkinKeyFromPixel.
    bool SetChannelBitmaps(UINT normalId, UINT activeId, bool transparent, COLORREF colour, int x,
                           int y);
    bool SetThumbBitmaps(UINT normalId, UINT activeId, bool transparent, COLORREF colour, int x,
                         int y);
    void SetMargins(int left, int top, int right, int bottom);
    void SetDrawFocusRect(bool on, bool redraw);
    void SetRangeMin(int minimum, bool redraw);
    void SetRangeMax(int maximum, bool redraw);
    void SetRange(int minimum, int maximum, bool redraw);
    // Limits to the range, then invalidates.
    void SetPos(int position);

    int GetPos() const;
    int GetRangeMin() const;
    int GetRangeMax() const;
    // The thumb centre's pixel for the current position (for tests and hit tests).
    int ThumbCentre() const;

    // How often a setter was called off its window's thread in this process
    // (each such call also leaves a debugger line); always 0 in a sound program.
    static long ForeignThreadCalls();

private:
    // One bitmap with its mask (when drawn transparently).
    struct Image {
        HBITMAP bitmap = nullptr;
        HBITMAP mask = nullptr;
        int width = 0;
        int height = 0;
        void Clear();
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool LoadImages(UINT normalId, UINT activeId, bool transparent, COLORREF colour, int x, int y,
                    Image &normal, Image &active, bool &activePresent);
    SliderTravel Travel() const;
    void Invalidate();
    void Paint(HDC target);
    void DrawImage(HDC dc, const Image &image, bool transparent, int x, int y, int srcX, int srcY,
                   int width, int height);
    void OnButtonDown(int along);
    void MoveStep(int along);
    void OnKey(WPARAM key);
    void Notify(UINT message);
    void CheckThread(const char *call) const;

    HWND window_ = nullptr;
    WNDPROC original_ = nullptr;

    int maximum_ = 100;
    int minimum_ = 0;
    int position_ = 0;
    int page_ = 20;
    RECT client_ = {0, 0, 0, 0};
    int width_ = 0;
    int height_ = 0;
    int thumbWidth_ = 0;
    int thumbHeight_ = 0;
    int marginLeft_ = 0, marginTop_ = 0, marginRight_ = 0, marginBottom_ = 0;
    POINT savedAt_ = {-1, -1};
    HBITMAP savedBackground_ = nullptr;
    int dragOffset_ = 0;
    bool vertical_ = false;
    bool channelActive_ = false, thumbActive_ = false;
    bool channelTransparent_ = false, thumbTransparent_ = false;
    bool channelLoaded_ = false, thumbLoaded_ = false;
    bool dragging_ = false;
    bool focused_ = false;
    bool drawFocusRect_ = true;
    Image channel_, channelActiveImage_, thumb_, thumbActiveImage_;
};

#endif
