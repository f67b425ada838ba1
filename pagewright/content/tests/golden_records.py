#!/usr/bin/env python3
"""Golden records of a text object, a field object, a table and a result
table, built field by field from the record tables (little-endian) and the
archive's object encoding, for the record tests.

    golden_records.py OUTDIR   writes text.bin, field.bin, table.bin and
                               result_table.bin
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

    # A table of 2 rows x 2 columns: text, field / text, field. Its cells go
    # through the archive: the first of a class brings the class (tag 0xFFFF,
    # schema, name), later ones refer to it (0x8000 | its index); classes
    # and objects share one running index from 1.
    table = base((1000, -3000, 3000, -1000), 1, (6, 1, 1, 0), 0, (0, 0xFFFFFF, 0), 1, 0)
    table += struct.pack("<Hiii", 0, 16, 16, 2)  # shape, roundness, arrow style
    table += struct.pack("<II", 2, 2)            # rows, columns
    table += struct.pack("<Hf", 990, 0.5) * 2    # per column: width, fraction
    table += struct.pack("<Hf", 990, 0.5) * 2    # per row: height, fraction
    cells = [
        base((1010, -1010, 2000, -2000), 0, (6, 1, 1, 0), 0, (0, 0xFEFEFE, 0), 1, 1) + store(RTF) + archive_string("abc"),
        base((2000, -1010, 2990, -2000), 0, (6, 1, 1, 0), 1, (0, 0xFFFFFF, 0), 1, 1) + struct.pack("<III", 1, 1, 33203) + store(RTF),
        base((1010, -2000, 2000, -2990), 0, (6, 1, 1, 0), 1, (0, 0x00FF00, 0), 1, 1) + store(b"") + archive_string(""),
        base((2000, -2000, 2990, -2990), 0, (6, 1, 1, 0), 1, (0, 0xFFFFFF, 0), 1, 1) + struct.pack("<III", 2, 1, 33500) + store(RTF),
    ]
    table += struct.pack("<H", 4)
    table += struct.pack("<HHH", 0xFFFF, 0, 9) + b"CDrawText" + cells[0]    # class 1, object 2
    table += struct.pack("<HHH", 0xFFFF, 0, 10) + b"CDrawField" + cells[1]  # class 3, object 4
    table += struct.pack("<H", 0x8001) + cells[2]                           # object 5
    table += struct.pack("<H", 0x8003) + cells[3]                           # object 6
    with open(os.path.join(out, "table.bin"), "wb") as f:
        f.write(table)
    # A result table of image 2 with fields 33203 and 33401, the default
    # font (CHARFORMAT: size, mask, effects, height, offset, colour, charset,
    # pitch and family, face in 32 bytes, 2 bytes padding), difference on.
    result = base((600, -2000, 3180, -1500), 1, (6, 2, 2, 0), 1, (0, 0x00FFFF, 0), 2, 0)
    result += struct.pack("<Hiii", 0, 16, 16, 2)
    result += struct.pack("<HH", 1290, 1290)
    result += struct.pack("<II", 2, 2) + struct.pack("<II", 33203, 33401)
    charformat = struct.pack("<IIIiiIBB32s2s", 60, 0x20000007, 0, 240, 0, 0, 0, 0, b"Times New Roman", b"\0\0")
    assert len(charformat) == 60
    result += charformat
    result += struct.pack("<Hf", 1, 238.0)
    with open(os.path.join(out, "result_table.bin"), "wb") as f:
        f.write(result)


if __name__ == "__main__":
    main()
