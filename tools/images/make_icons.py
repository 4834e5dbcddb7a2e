#!/usr/bin/env python3
"""Draws the programs' icons (resource 128) as .ico files.

Run it again after changing a design; the .ico files it writes are kept in the
repository so that a build needs nothing but the compilers.
Usage: make_icons.py OUTPUT_DIR
"""
import struct
import sys
import os


def ico_image(size, pixel):
    """One 32-bit BMP image for an .ico file; pixel(x, y) -> (r, g, b, a), y from the top."""
    rows = []
    for y in reversed(range(size)):  # BMP rows run bottom-up
        row = bytearray()
        for x in range(size):
            r, g, b, a = pixel(x, y)
            row += bytes((b, g, r, a))
        rows.append(bytes(row))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytes(mask_row * size)  # alpha carries the transparency
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def write_ico(path, sizes, pixel_for_size):
    images = [ico_image(s, pixel_for_size(s)) for s in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        out += img
    with open(path, "wb") as f:
        f.write(out)


def tile_icon(fg, bg):
    """A rounded square in colour bg carrying a mosaic of four tiles in fg."""
    def for_size(s):
        def pixel(x, y):
            r = s * 0.18
            inside = True
            for cx, cy in ((r, r), (s - 1 - r, r), (r, s - 1 - r), (s - 1 - r, s - 1 - r)):
                if (x < r or x > s - 1 - r) and (y < r or y > s - 1 - r):
                    if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
                        inside = False
            if not inside:
                return (0, 0, 0, 0)
            m = s // 5
            g = max(1, s // 16)
            inner = m <= x < s - m and m <= y < s - m
            mid = s // 2
            gap = abs(x - mid) < g or abs(y - mid) < g
            if inner and not gap:
                return fg + (255,)
            return bg + (255,)
        return pixel
    return for_size


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    write_ico(os.path.join(out, "tessel.ico"), (16, 32, 48), tile_icon((255, 255, 255), (32, 110, 200)))
    write_ico(os.path.join(out, "marbosetup.ico"), (16, 32, 48), tile_icon((255, 214, 64), (40, 150, 90)))


if __name__ == "__main__":
    main()
