#!/usr/bin/env python3
"""Draws the setup wizard's bitmaps as 24-bit .bmp files.

  129 welcome.bmp     164 x 314  side picture of the welcome pages
  130 completion.bmp  494 x 250  completion picture; its background is the key
                                 colour RGB(212,208,200) that the page replaces
                                 by the button-face colour
  131 header.bmp       70 x  42  header emblem; its background RGB(251,251,251)
                                 turns white when the header loads it

Shapes that touch a key colour have hard edges: a blended edge pixel would not
be replaced and would show as a fringe. Like make_icons.py, run it again after
changing a design; the files it writes are kept in the repository.
Usage: make_bitmaps.py OUTPUT_DIR
"""
import math
import os
import struct
import sys

COMPLETION_KEY = (212, 208, 200)
HEADER_KEY = (251, 251, 251)

GREEN = (40, 150, 90)
DEEP_GREEN = (18, 84, 62)
YELLOW = (255, 214, 64)
WHITE = (255, 255, 255)


class Canvas:
    def __init__(self, width, height, colour):
        self.width = width
        self.height = height
        self.pixels = [[colour] * width for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        if 0 <= x < self.width and 0 <= y < self.height and alpha > 0:
            if alpha >= 1:
                self.pixels[y][x] = colour
                return
            old = self.pixels[y][x]
            self.pixels[y][x] = tuple(round(o + (c - o) * alpha) for o, c in zip(old, colour))

    def shape(self, box, inside, colour, alpha=1.0, smooth=True):
        """Paints where inside(x, y) holds; smooth edges use 4 x 4 samples per pixel."""
        x0, y0, x1, y1 = (int(math.floor(v)) for v in box)
        for y in range(max(0, y0), min(self.height, y1 + 1)):
            for x in range(max(0, x0), min(self.width, x1 + 1)):
                if smooth:
                    hits = sum(inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4)
                               for i in range(4) for j in range(4))
                    cover = hits / 16
                else:
                    cover = 1.0 if inside(x + 0.5, y + 0.5) else 0.0
                self.blend(x, y, colour, cover * alpha)

    def rounded_rect(self, left, top, right, bottom, radius, colour, alpha=1.0, smooth=True):
        def inside(px, py):
            if not (left <= px < right and top <= py < bottom):
                return False
            cx = min(max(px, left + radius), right - radius)
            cy = min(max(py, top + radius), bottom - radius)
            return (px - cx) ** 2 + (py - cy) ** 2 <= radius * radius
        self.shape((left, top, right, bottom), inside, colour, alpha, smooth)

    def circle(self, cx, cy, r, colour, alpha=1.0, smooth=True):
        self.shape((cx - r, cy - r, cx + r, cy + r),
                   lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r, colour, alpha, smooth)

    def stroke(self, points, width, colour, alpha=1.0):
        """A polyline with round joins and ends."""
        half = width / 2
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        box = (min(xs) - half, min(ys) - half, max(xs) + half, max(ys) + half)

        def near(px, py):
            for (ax, ay), (bx, by) in zip(points, points[1:]):
                dx, dy = bx - ax, by - ay
                t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
                if (px - ax - t * dx) ** 2 + (py - ay - t * dy) ** 2 <= half * half:
                    return True
            return False
        self.shape(box, near, colour, alpha)

    def tile_mosaic(self, left, top, size, base, tiles, smooth=True):
        """The products' emblem: a rounded square carrying four tiles."""
        self.rounded_rect(left, top, left + size, top + size, size * 0.18, base, smooth=smooth)
        margin = size / 5
        gap = max(1.0, size / 16)
        inner = size - 2 * margin
        half = (inner - gap) / 2
        for row in range(2):
            for col in range(2):
                x = left + margin + col * (half + gap)
                y = top + margin + row * (half + gap)
                self.rounded_rect(x, y, x + half, y + half, max(1.0, size / 40), tiles)

    def write_bmp(self, path):
        stride = (self.width * 3 + 3) & ~3
        data = bytearray()
        for row in reversed(self.pixels):  # BMP rows run bottom-up
            line = bytearray()
            for r, g, b in row:
                line += bytes((b, g, r))
            line += bytes(stride - len(line))
            data += line
        header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(data),
                           2835, 2835, 0, 0)
        with open(path, "wb") as f:
            f.write(header + info + data)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def welcome():
    """Deep green with a glow behind the emblem. Every edge row is plain
    DEEP_GREEN: a static centring the picture fills the rest of a taller page
    with the top-left pixel's colour, and that fill must not show a seam."""
    c = Canvas(164, 314, DEEP_GREEN)
    gx, gy, reach = 82, 112, 104
    for y in range(c.height):
        for x in range(c.width):
            d = math.hypot(x - gx, y - gy)
            glow = max(0.0, 1 - d / reach) ** 1.2
            c.pixels[y][x] = mix(DEEP_GREEN, GREEN, glow)
    c.tile_mosaic(42, 46, 80, WHITE, GREEN)
    # tiles falling away below the emblem, smaller and fainter as they go
    for i, (x, y, s) in enumerate([(30, 160, 18), (104, 150, 14), (66, 190, 12), (122, 205, 10),
                                   (40, 228, 9), (90, 245, 8), (58, 266, 6), (112, 276, 6),
                                   (26, 286, 5), (84, 292, 4)]):
        colour = YELLOW if i % 3 == 0 else WHITE
        c.rounded_rect(x, y, x + s, y + s, max(1.0, s / 5), colour, alpha=0.85 - i * 0.06)
    return c


def completion():
    c = Canvas(494, 250, COMPLETION_KEY)
    cx, cy, r = 247, 118, 64
    c.circle(cx, cy, r + 6, WHITE, smooth=False)
    c.circle(cx, cy, r, GREEN)
    c.stroke([(cx - 30, cy + 2), (cx - 8, cy + 24), (cx + 32, cy - 22)], 15, WHITE)
    # tiles scattered round the badge, hard-edged over the key colour
    for x, y, s, colour in [(118, 58, 22, YELLOW), (150, 150, 16, GREEN), (96, 124, 12, GREEN),
                            (160, 84, 10, YELLOW), (350, 66, 18, GREEN), (336, 156, 22, YELLOW),
                            (392, 112, 12, YELLOW), (316, 44, 9, YELLOW), (130, 196, 8, YELLOW),
                            (370, 200, 10, GREEN), (70, 80, 7, YELLOW), (420, 170, 7, GREEN)]:
        c.rounded_rect(x, y, x + s, y + s, 0, colour, smooth=False)
    # a shadow line under the badge, darkest in the middle; it stops where it
    # would come too close to the key colour to be told from it
    for x in range(cx - 80, cx + 81):
        fade = 0.3 + 0.7 * (1 - abs(x - cx) / 80)
        c.pixels[cy + r + 26][x] = mix(COMPLETION_KEY, (150, 146, 140), fade)
    return c


def header():
    c = Canvas(70, 42, HEADER_KEY)
    c.tile_mosaic(32, 4, 34, GREEN, YELLOW)
    for x, y, s, colour in [(16, 10, 8, YELLOW), (6, 24, 6, GREEN), (20, 30, 5, GREEN)]:
        c.rounded_rect(x, y, x + s, y + s, 1.2, colour)
    return c


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    welcome().write_bmp(os.path.join(out, "welcome.bmp"))
    completion().write_bmp(os.path.join(out, "completion.bmp"))
    header().write_bmp(os.path.join(out, "header.bmp"))


if __name__ == "__main__":
    main()
