#!/usr/bin/env python3
"""Golden records of a line-profile chart and a histogram, built field by
field from the record tables (little-endian, floats IEEE single), for the
chart record tests.

    chart_golden.py OUTDIR   writes profile.bin and histogram.bin
"""
import os
import struct
import sys


def base(rect, pen_on, pen, brush_on, brush, page, table_cell):
    out = struct.pack("<4i", *rect)
    out += struct.pack("<H", pen_on)
    out += struct.pack("<IiiI", *pen)           # style, width x, width y, colour
    out += struct.pack("<H", brush_on)
    out += struct.pack("<IIi", *brush)          # style, colour, hatch
    out += struct.pack("<II", page, table_cell)
    assert len(out) == 56
    return out


LINE_COLOURS = [0x0000FF, 0x0097FF, 0x00C890, 0x609830, 0xCFC830,
                0xFF672F, 0x7F007F, 0x909790, 0xFFC800, 0x5F2F93]


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    # A profile on page 2: image 3, grid off, legend on, axis table off,
    # result table on, stretched, custom scale -5.5..120.25, blue divider,
    # cursor 0.25, red text; lines 1 and 4 shown, line 4 purple.
    profile = base((1000, -1000, 4000, -2500), 1, (6, 1, 1, 0), 0, (0, 0xC0C0C0, 0), 2, 0)
    profile += struct.pack("<7i", 3, 0, 1, 0, 1, 1, 2)
    profile += struct.pack("<ff", 120.25, -5.5)
    profile += struct.pack("<IfI", 0xFF0000, 0.25, 0x0000FF)
    for i, colour in enumerate(LINE_COLOURS):
        if i == 3:
            colour = 0x800080
        shown = 1 if i in (0, 3) else 0
        cursor = 0.75 if i == 3 else (0.5 if shown else -1.0)
        profile += struct.pack("<Iif", colour, shown, cursor)
    assert len(profile) == 56 + 12 * 4 + 10 * 12
    with open(os.path.join(out, "profile.bin"), "wb") as f:
        f.write(profile)
    # A histogram on page 1: image 2, area mode, line 4, area 5, out-of-range
    # levels on, level values off, level ranges on, title on, grid off,
    # 32 bins, green bars, custom scale 20..-10 (reversed), blue text.
    histogram = base((200, -300, 1600, -1700), 1, (6, 2, 2, 0x123456), 0, (0, 0xFFFFFF, 0), 1, 0)
    histogram += struct.pack("<10i", 2, 0, 4, 5, 1, 0, 1, 1, 0, 32)
    histogram += struct.pack("<Ii", 0x00FF00, 1)
    histogram += struct.pack("<ff", -10.0, 20.0)
    histogram += struct.pack("<I", 0xFF0000)
    assert len(histogram) == 56 + 15 * 4
    with open(os.path.join(out, "histogram.bin"), "wb") as f:
        f.write(histogram)


if __name__ == "__main__":
    main()
