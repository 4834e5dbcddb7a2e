#include "updater/controls/skin_slider_win.h"

#include <windowsx.h>

#include <atomic>
#include <cstdlib>
#include <string>

namespace {

const wchar_t kObjectProperty[] = L"CSkinSlider";

// A compatible memory DC with a bitmap selected into it, restored and deleted when it goes.
class MemoryDC {
public:
    MemoryDC(HDC like, HBITMAP bitmap) : dc_(CreateCompatibleDC(like)) {
        old_ = dc_ ? SelectObject(dc_, bitmap) : nullptr;
    }
    ~MemoryDC() {
        if (!dc_) return;
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC &) = delete;
    MemoryDC &operator=(const MemoryDC &) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

// Key-coloured pixels white in a monochrome mask, all others black; then the
// key-coloured pixels of the image itself turn black, so that the image can
// be drawn as mask AND, image OR.
HBITMAP BuildMask(HBITMAP image, COLORREF colour, int x, int y) {
    const SIZE size = BitmapSize(image);
    HBITMAP mask = CreateBitmap(size.cx, size.cy, 1, 1, nullptr);
    if (!mask) return nullptr;
    HDC screen = GetDC(nullptr);
    {
        MemoryDC imageDC(screen, image);
        MemoryDC maskDC(screen, mask);
        const COLORREF key = colour == kSkinKeyFromPixel ? GetPixel(imageDC.Get(), x, y) : colour;
        SetBkColor(imageDC.Get(), key);
        BitBlt(maskDC.Get(), 0, 0, size.cx, size.cy, imageDC.Get(), 0, 0, SRCCOPY);
        // Monochrome to colour: 1 bits take the background colour, 0 bits the text colour.
        SetBkColor(imageDC.Get(), RGB(0, 0, 0));
        SetTextColor(imageDC.Get(), RGB(255, 255, 255));
        BitBlt(imageDC.Get(), 0, 0, size.cx, size.cy, maskDC.Get(), 0, 0, SRCAND);
    }
    ReleaseDC(nullptr, screen);
    return mask;
}

}  // namespace

void CSkinSlider::Image::Clear() {
    if (bitmap) DeleteObject(bitmap);
    if (mask) DeleteObject(mask);
    *this = Image();
}

namespace {
std::atomic<long> g_foreignThreadCalls{0};
}  // namespace

CSkinSlider::CSkinSlider() = default;

long CSkinSlider::ForeignThreadCalls() { return g_foreignThreadCalls.load(); }

// The slider is a window's state: only the window's thread may change it.
void CSkinSlider::CheckThread(const char *call) const {
    if (!window_ || GetWindowThreadProcessId(window_, nullptr) == GetCurrentThreadId()) return;
    ++g_foreignThreadCalls;
    OutputDebugStringA((std::string("CSkinSlider::") + call + " called off the window's thread\n").c_str());
}

CSkinSlider::~CSkinSlider() {
    if (window_) {
        // The window outlives the object (a dialog destroyed later): give it
        // back its own procedure.
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        RemovePropW(window_, kObjectProperty);
    }
    channel_.Clear();
    channelActiveImage_.Clear();
    thumb_.Clear();
    thumbActiveImage_.Clear();
    if (savedBackground_) DeleteObject(savedBackground_);
}

bool CSkinSlider::Attach(HWND control) {
    if (window_ || !control) return false;
    window_ = control;
    SetPropW(control, kObjectProperty, this);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
    GetClientRect(control, &client_);
    width_ = client_.right;
    height_ = client_.bottom;
    return true;
}

bool CSkinSlider::LoadImages(UINT normalId, UINT activeId, bool transparent, COLORREF colour,
                             int x, int y, Image &normal, Image &active, bool &activePresent) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    auto load = [&](UINT id, Image &image) {
        image.Clear();
        image.bitmap = static_cast<HBITMAP>(
            LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!image.bitmap) return false;
        const SIZE size = BitmapSize(image.bitmap);
        image.width = size.cx;
        image.height = size.cy;
        if (transparent) image.mask = BuildMask(image.bitmap, colour, x, y);
        return true;
    };
    if (!load(normalId, normal)) return false;
    activePresent = false;
    active.Clear();
    if (activeId != 0) {
        if (!load(activeId, active)) {
            normal.Clear();
            return false;
        }
        activePresent = true;
    }
    return true;
}

bool CSkinSlider::SetChannelBitmaps(UINT normalId, UINT activeId, bool transparent,
                                    COLORREF colour, int x, int y) {
    if (normalId == 0) {
        channel_.Clear();
        channelActiveImage_.Clear();
        channelLoaded_ = false;
        channelActive_ = false;
        return true;
    }
    channelLoaded_ = false;
    if (!LoadImages(normalId, activeId, transparent, colour, x, y, channel_, channelActiveImage_,
                    channelActive_))
        return false;
    width_ = channel_.width;
    height_ = channel_.height;
    if (window_)
        SetWindowPos(window_, nullptr, 0, 0, width_, height_,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    client_ = {0, 0, width_, height_};
    channelTransparent_ = transparent;
    channelLoaded_ = true;
    return true;
}

bool CSkinSlider::SetThumbBitmaps(UINT normalId, UINT activeId, bool transparent,
                                  COLORREF colour, int x, int y) {
    if (normalId == 0) {
        thumb_.Clear();
        thumbActiveImage_.Clear();
        thumbLoaded_ = false;
        thumbActive_ = false;
        return true;
    }
    thumbLoaded_ = false;
    if (!LoadImages(normalId, activeId, transparent, colour, x, y, thumb_, thumbActiveImage_,
                    thumbActive_))
        return false;
    thumbWidth_ = thumb_.width;
    thumbHeight_ = thumb_.height;
    if (!channelLoaded_ && window_) {
        GetClientRect(window_, &client_);
        width_ = client_.right;
        height_ = client_.bottom;
    }
    if (savedBackground_) DeleteObject(savedBackground_);
    savedBackground_ = nullptr;
    savedAt_ = {-1, -1};
    thumbTransparent_ = transparent;
    thumbLoaded_ = true;
    return true;
}

void CSkinSlider::SetMargins(int left, int top, int right, int bottom) {
    marginLeft_ = left;
    marginTop_ = top;
    marginRight_ = right;
    marginBottom_ = bottom;
}

void CSkinSlider::SetDrawFocusRect(bool on, bool redraw) {
    drawFocusRect_ = on;
    if (redraw) Invalidate();
}

void CSkinSlider::SetRangeMin(int minimum, bool redraw) {
    CheckThread("SetRangeMin");
    minimum_ = minimum;
    if (redraw) Invalidate();
}

void CSkinSlider::SetRangeMax(int maximum, bool redraw) {
    CheckThread("SetRangeMax");
    maximum_ = maximum;
    if (redraw) Invalidate();
}

void CSkinSlider::SetRange(int minimum, int maximum, bool redraw) {
    SetRangeMin(minimum, false);
    SetRangeMax(maximum, redraw);
}

void CSkinSlider::SetPos(int position) {
    CheckThread("SetPos");
    position_ = Travel().ClampPosition(position);
    Invalidate();
}

int CSkinSlider::GetPos() const {
    return position_;
}

int CSkinSlider::GetRangeMin() const {
    return minimum_;
}

int CSkinSlider::GetRangeMax() const {
    return maximum_;
}

int CSkinSlider::ThumbCentre() const {
    return Travel().CentreOf(position_);
}

SliderTravel CSkinSlider::Travel() const {
    SliderTravel t;
    t.minimum = minimum_;
    t.maximum = maximum_;
    t.startMargin = vertical_ ? marginTop_ : marginLeft_;
    t.endMargin = vertical_ ? marginBottom_ : marginRight_;
    t.length = vertical_ ? height_ : width_;
    t.thumb = vertical_ ? thumbHeight_ : thumbWidth_;
    return t;
}

void CSkinSlider::Invalidate() {
    // InvalidateRect sends nothing, so a worker thread may call it.
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

LRESULT CALLBACK CSkinSlider::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto *self = static_cast<CSkinSlider *>(GetPropW(window, kObjectProperty));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        WNDPROC original = self->original_;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(window, kObjectProperty);
        self->window_ = nullptr;
        return CallWindowProcW(original, window, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
}

LRESULT CSkinSlider::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCHITTEST:
            return HTCLIENT;  // a static is transparent to the mouse otherwise
        case WM_ERASEBKGND:
            return 1;  // the paint covers everything
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window_, &ps);
            Paint(dc);
            EndPaint(window_, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
            OnButtonDown(vertical_ ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam));
            return 0;
        case WM_MOUSEMOVE:
            if (dragging_) {
                MoveStep(vertical_ ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam));
            }
            return 0;
        case WM_LBUTTONUP:
            if (dragging_) {
                ReleaseCapture();
                dragging_ = false;
                Invalidate();
                Notify(WM_SKINSLIDER_MOVED);
            }
            return 0;
        case WM_CAPTURECHANGED:
            dragging_ = false;
            Invalidate();
            return 0;
        case WM_KEYDOWN:
            switch (wParam) {
                case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
                case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
                    OnKey(wParam);
                    return 0;
                default:
                    break;
            }
            break;
        case WM_GETDLGCODE:
            if (GetKeyState(VK_TAB) < 0) break;
            return DLGC_WANTARROWS;
        case WM_SETFOCUS:
            focused_ = true;
            Invalidate();
            return 0;
        case WM_KILLFOCUS:
            focused_ = false;
            Invalidate();
            return 0;
        default:
            break;
    }
    return CallWindowProcW(original_, window_, message, wParam, lParam);
}

void CSkinSlider::OnButtonDown(int along) {
    SetCapture(window_);
    SetFocus(window_);
    dragging_ = true;
    const int centre = Travel().CentreOf(position_);
    const int half = (vertical_ ? thumbHeight_ : thumbWidth_) / 2;
    dragOffset_ = std::abs(along - centre) > half ? 0 : along - centre;
    MoveStep(along);
    Invalidate();
}

void CSkinSlider::MoveStep(int along) {
    const SliderTravel travel = Travel();
    const int centre = travel.ClampCentre(along - dragOffset_);
    if (centre == travel.CentreOf(position_)) return;
    SetPos(travel.PositionAt(centre));
    Notify(WM_SKINSLIDER_MOVING);
}

void CSkinSlider::OnKey(WPARAM key) {
    SliderKey step = SliderKey::Forward;
    switch (key) {
        case VK_PRIOR: step = SliderKey::PageUp; break;
        case VK_NEXT: step = SliderKey::PageDown; break;
        case VK_END: step = SliderKey::End; break;
        case VK_HOME: step = SliderKey::Home; break;
        case VK_RIGHT: case VK_DOWN: step = SliderKey::Forward; break;
        default: step = SliderKey::Back; break;
    }
    SetPos(SliderKeyTarget(step, position_, page_, minimum_, maximum_));
    Notify(WM_SKINSLIDER_MOVED);
}

void CSkinSlider::Notify(UINT message) {
    HWND parent = GetParent(window_);
    if (parent) PostMessageW(parent, message, GetDlgCtrlID(window_), GetPos());
}

void CSkinSlider::DrawImage(HDC dc, const Image &image, bool transparent, int x, int y, int srcX,
                            int srcY, int width, int height) {
    if (!image.bitmap || width <= 0 || height <= 0) return;
    MemoryDC source(dc, image.bitmap);
    if (transparent && image.mask) {
        MemoryDC mask(dc, image.mask);
        // Monochrome to colour: the mask's white (key) keeps the background.
        const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        BitBlt(dc, x, y, width, height, mask.Get(), srcX, srcY, SRCAND);
        SetBkColor(dc, oldBack);
        SetTextColor(dc, oldText);
        BitBlt(dc, x, y, width, height, source.Get(), srcX, srcY, SRCPAINT);
    } else {
        BitBlt(dc, x, y, width, height, source.Get(), srcX, srcY, SRCCOPY);
    }
}

void CSkinSlider::Paint(HDC target) {
    const int w = width_, h = height_;
    if (w <= 0 || h <= 0) return;
    HBITMAP buffer = CreateCompatibleBitmap(target, w, h);
    if (!buffer) return;
    {
        MemoryDC off(target, buffer);
        HDC dc = off.Get();
        // 1. background
        if (channelTransparent_) {
            BitBlt(dc, 0, 0, w, h, target, 0, 0, SRCCOPY);
        } else {
            HBRUSH back = CreateSolidBrush(GetBkColor(target));
            RECT all = {0, 0, w, h};
            FillRect(dc, &all, back);
            DeleteObject(back);
        }
        const SliderTravel travel = Travel();
        const int centre = travel.CentreOf(position_);
        // 2. channel: the travelled part from the active image
        if (channelLoaded_) {
            if (!channelActive_) {
                DrawImage(dc, channel_, channelTransparent_, 0, 0, 0, 0, channel_.width,
                          channel_.height);
            } else if (!vertical_) {
                DrawImage(dc, channelActiveImage_, channelTransparent_, 0, 0, 0, 0, centre,
                          channel_.height);
                DrawImage(dc, channel_, channelTransparent_, centre, 0, centre, 0,
                          channel_.width - centre, channel_.height);
            } else {
                DrawImage(dc, channelActiveImage_, channelTransparent_, 0, 0, 0, 0, channel_.width,
                          centre);
                DrawImage(dc, channel_, channelTransparent_, 0, centre, 0, centre, channel_.width,
                          channel_.height - centre);
            }
        }
        // 3. what lay under the thumb last time
        if (savedBackground_ && savedAt_.x >= 0) {
            MemoryDC saved(dc, savedBackground_);
            BitBlt(dc, savedAt_.x, savedAt_.y, thumbWidth_, thumbHeight_, saved.Get(), 0, 0,
                   SRCCOPY);
            savedAt_ = {-1, -1};
        }
        // 4. thumb
        if (thumbLoaded_) {
            const int x = vertical_ ? marginLeft_ : centre - thumbWidth_ / 2;
            const int y = vertical_ ? centre - thumbHeight_ / 2 : marginTop_;
            if (channelTransparent_ || !channelLoaded_) {
                if (!savedBackground_)
                    savedBackground_ = CreateCompatibleBitmap(target, thumbWidth_, thumbHeight_);
                if (savedBackground_) {
                    MemoryDC saved(dc, savedBackground_);
                    BitBlt(saved.Get(), 0, 0, thumbWidth_, thumbHeight_, dc, x, y, SRCCOPY);
                    savedAt_ = {x, y};
                }
            }
            const Image &image = dragging_ && thumbActive_ ? thumbActiveImage_ : thumb_;
            DrawImage(dc, image, thumbTransparent_, x, y, 0, 0, thumbWidth_, thumbHeight_);
        }
        // 5. focus
        if (drawFocusRect_ && focused_) DrawFocusRect(dc, &client_);
        // 6. on screen
        BitBlt(target, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    }
    DeleteObject(buffer);
}
