#!/usr/bin/env python3
"""Golden records of a text object and a field object, built field by field
from the record tables (little-endian), for the record tests.

    golden_records.py OUTDIR   writes text.bin and field.bin
"""
import os
import struct
import sys

RTF = b"{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n\\viewkind4\\uc1\\pard\\qc\\f0\\fs21 abc\\par\r\n}\r\n"


def base(rect, pen_on, pen, brush_on, brush, page, table_cell):
    out = struct.pack("<4i", *rect)
    out += struct.pack("<H", pen_on)
    out += struct.pack("<IiiI", *pen)           # style, width x, width y, colour
    out += struct.pack("<H", brush_on)
    out += struct.pack("<IIi", *brush)          # style, colour, hatch
    out += struct.pack("<II", page, table_cell)
    assert len(out) == 56
    return out


def store(data):
    return struct.pack("<I", len(data)) + data


def archive_string(text):
    data = text.encode("gbk")
    assert len(data) < 0xFF
    return struct.pack("<B", len(data)) + data


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    # A text box: 100..1300 x -200..-900, pen 2 wide red, white fill, page 3.
    text = base((100, -200, 1300, -900), 1, (6, 2, 2, 0x0000FF), 1, (0, 0xFFFFFF, 0), 3, 0)
    text += store(RTF) + archive_string("abc 温度")
    with open(os.path.join(out, "text.bin"), "wb") as f:
        f.write(text)
    # A field: image 2, analysis 3, field 33603, pen off, a table cell.
    field = base((10, -20, 410, -420), 0, (6, 1, 1, 0), 0, (0, 0xFFFFFF, 0), 1, 1)
    field += struct.pack("<III", 3, 2, 33603) + store(RTF)
    with open(os.path.join(out, "field.bin"), "wb") as f:
        f.write(field)


if __name__ == "__main__":
    main()
