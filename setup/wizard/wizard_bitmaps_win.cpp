#include "setup/wizard/wizard_bitmaps_win.h"

#include "setup/res/resource.h"

namespace {

// DIB pixels are stored blue, green, red.
DWORD DibPixel(COLORREF c) { return (DWORD(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

}  // namespace

HBITMAP LoadBitmapReplacingColour(HINSTANCE module, int id, COLORREF from, COLORREF to) {
    HBITMAP source = static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!source) return nullptr;
    BITMAP info = {};
    GetObjectW(source, sizeof info, &info);

    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;  // top-down
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP copy = CreateDIBSection(screen, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (copy && bits) {
        GetDIBits(screen, source, 0, UINT(info.bmHeight), bits, &header, DIB_RGB_COLORS);
        auto *pixel = static_cast<DWORD *>(bits);
        const size_t count = size_t(info.bmWidth) * size_t(info.bmHeight);
        const DWORD match = DibPixel(from), replacement = DibPixel(to);
        // Opaque everywhere: a 32-bit picture with zero alpha would draw as nothing
        // where the system honours alpha.
        for (size_t i = 0; i < count; ++i) {
            const DWORD colour = pixel[i] & 0x00FFFFFF;
            pixel[i] = (colour == match ? replacement : colour) | 0xFF000000;
        }
        GdiFlush();
    }
    ReleaseDC(nullptr, screen);
    DeleteObject(source);
    return copy;
}

HBITMAP HeaderBitmap() {
    static HBITMAP bitmap = LoadBitmapReplacingColour(
        GetModuleHandleW(nullptr), IDB_HEADER, RGB(251, 251, 251), RGB(255, 255, 255));
    return bitmap;
}
