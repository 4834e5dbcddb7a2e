#!/usr/bin/env python3
"""Draws the search page's picture (bitmap resource 10001) as an 8-bit BMP.

A tessellation of tiles in the product's blues fading to white, with one tile row
picked out; the .bmp it writes is kept in the repository so that a build needs
nothing but the compilers. Usage: make_search_picture.py OUTPUT.bmp
"""
import struct
import sys

WIDTH, HEIGHT = 536, 249  # 306 x 142 dialog units at 1.75 pixels per unit (9-point 굴림)
TILE = 17


def palette():
    colours = []
    for i in range(240):  # white to the product blue
        t = i / 239
        colours.append((int(255 - t * (255 - 32)), int(255 - t * (255 - 96)), int(255 - t * (255 - 176))))
    colours += [(255, 176, 32)] * 16  # the highlighted row
    return colours


def pixel(x, y):
    tx, ty = x // TILE, y // TILE
    inner = x % TILE not in (0, TILE - 1) and y % TILE not in (0, TILE - 1)
    if not inner:
        return 0  # grout
    if ty == 7 and 5 <= tx <= 25:
        return 240 + (tx % 16)
    # Tiles darken towards the lower right, with a checker of two shades.
    shade = (tx * 5 + ty * 9) % 240 * 0.35 + 70 + ((tx + ty) % 2) * 25
    return min(239, int(shade))


def main(path):
    stride = (WIDTH + 3) & ~3
    rows = []
    for y in reversed(range(HEIGHT)):  # BMP rows run bottom-up
        row = bytes(pixel(x, y) for x in range(WIDTH))
        rows.append(row + bytes(stride - WIDTH))
    pixels = b"".join(rows)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette())
    offset = 14 + 40 + len(colours)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    with open(path, "wb") as out:
        out.write(file_header + info + colours + pixels)


if __name__ == "__main__":
    main(sys.argv[1])
