#!/usr/bin/env python3
"""Draws the Download window's slider bitmaps as 24-bit .bmp files.

  11034 slider_channel.bmp         240 x 17  channel, opaque
  11035 slider_channel_active.bmp  240 x 17  the travelled part of the channel
  11036 slider_thumb.bmp            23 x 11  thumb; its top-left pixel is the
                                             transparent key colour
  11037 slider_thumb_active.bmp     23 x 11  thumb while dragged, same key

The slider draws the thumb 3 pixels below the channel's top (its top margin),
so the groove sits on rows 3-13 under it. The key colour, magenta, never
appears inside the thumb, whose edge is hard for the same reason as the setup
wizard's pictures (make_bitmaps.py). Run it again after changing a design;
the files it writes are kept in the repository.
Usage: make_slider_bitmaps.py OUTPUT_DIR
"""
import os
import sys

from make_bitmaps import Canvas, mix

KEY = (255, 0, 255)
FACE = (236, 233, 216)
GROOVE_DARK = (120, 120, 120)
GROOVE_LIGHT = (255, 255, 255)
BLUE = (32, 96, 176)
LIGHT_BLUE = (120, 176, 236)
ORANGE = (255, 176, 32)


def channel(fill_top, fill_bottom):
    c = Canvas(240, 17, FACE)
    # a sunken groove with rounded ends, filled top to bottom with a gradient
    c.rounded_rect(2, 4, 238, 13, 4, GROOVE_DARK, smooth=False)
    c.rounded_rect(3, 5, 238, 13, 3.5, GROOVE_LIGHT, smooth=False)
    for y in range(5, 12):
        colour = mix(fill_top, fill_bottom, (y - 5) / 6)
        for x in range(4, 236):
            c.pixels[y][x] = colour
    return c


def thumb(body, edge):
    c = Canvas(23, 11, KEY)
    c.rounded_rect(0, 0, 23, 11, 4, edge, smooth=False)
    c.rounded_rect(1, 1, 22, 10, 3, body, smooth=False)
    for x in (8, 11, 14):  # grip lines
        for y in range(3, 8):
            c.pixels[y][x] = edge
    return c


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    channel((250, 250, 250), (222, 222, 222)).write_bmp(os.path.join(out, "slider_channel.bmp"))
    channel(LIGHT_BLUE, BLUE).write_bmp(os.path.join(out, "slider_channel_active.bmp"))
    thumb((250, 250, 250), BLUE).write_bmp(os.path.join(out, "slider_thumb.bmp"))
    thumb(ORANGE, (180, 96, 0)).write_bmp(os.path.join(out, "slider_thumb_active.bmp"))


if __name__ == "__main__":
    main()
