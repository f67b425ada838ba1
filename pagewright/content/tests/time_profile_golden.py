#!/usr/bin/env python3
"""Reports holding one time-profile chart, built field by field from the
record table (little-endian, floats IEEE single), at report formats 4.0,
5.0 and 6.0, for the time-profile record tests.

    time_profile_golden.py OUTDIR   writes tp40.bin, tp50.bin, tp60.bin
                                    (report contents) and tp60.record
                                    (the chart's record alone)
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


def curve(i):
    """Curve i's stored settings: colour 0x010101 * (i + 1), every third
    shown, cursor 0.05 * (i + 1)."""
    return struct.pack("<Iif", 0x010101 * (i + 1), 1 if i % 3 == 0 else 0, 0.05 * (i + 1))


def record(version):
    # Image 2, grid off, legend on, axis table on, result table off,
    # stretched, custom scale 80.5..-5.5, blue divider, cursor 0.25, red text.
    out = base((1000, -1000, 4000, -2500), 1, (6, 1, 1, 0), 0, (0, 0xFFFFFF, 0), 1, 0)
    out += struct.pack("<7i", 2, 0, 1, 1, 0, 1, 2)
    out += struct.pack("<ff", 80.5, -5.5)
    out += struct.pack("<IfI", 0xFF0000, 0.25, 0x0000FF)
    flags = [1 if i in (0, 2, 7, 19, 99) else 0 for i in range(100)]
    if version <= 4.0:
        for i in range(10):
            out += curve(i)
    elif version <= 5.0:
        for i in range(20):
            out += curve(i) + struct.pack("<i", flags[i])
        out += struct.pack("<ii", 1, 4)
    else:
        for i in range(20):
            out += curve(i)
        out += struct.pack("<100i", *flags)
        out += struct.pack("<ii", 1, 5)
    return out


def contents(version, rec):
    out = struct.pack("<IfIiiI", 1, version, 0xFFFFFF, 8268, 11693, 0)
    if version > 3.0:
        out += struct.pack("<I", 0)
    name = b"CDrawTimeProfile"
    out += struct.pack("<HHHH", 1, 0xFFFF, 0, len(name)) + name + rec
    out += struct.pack("<H", 1) + b"Report1".ljust(41, b"\0")
    return out


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for version, name in ((4.0, "tp40"), (5.0, "tp50"), (6.0, "tp60")):
        with open(os.path.join(out, name + ".bin"), "wb") as f:
            f.write(contents(version, record(version)))
    with open(os.path.join(out, "tp60.record"), "wb") as f:
        f.write(record(6.0))


if __name__ == "__main__":
    main()
