#ifndef SETUP_WIZARD_WIZARD_BITMAPS_WIN_H
#define SETUP_WIZARD_WIZARD_BITMAPS_WIN_H

#include <windows.h>

// A bitmap resource copied into a 32-bit DIB section in which every pixel of
// colour `from` has become `to`. The caller owns the result (null on failure).
HBITMAP LoadBitmapReplacingColour(HINSTANCE module, int id, COLORREF from, COLORREF to);

// The header picture (bitmap 131, its near-white background made white), loaded
// once for the whole program and never released.
HBITMAP HeaderBitmap();

#endif
