#!/usr/bin/env python3
"""Writes the suite's default data files: the palette BMPs and field.ini.

    tools/default_data.py OUTDIR [--field-ini data/field.ini.in]

Palettes: nruler1.bmp .. nruler10.bmp, 24-bit BMPs 256 pixels wide and one
row high, 54-byte header and no colour table, so that every reader takes the
256 colours from the 768 bytes at offset 54 (blue, green, red per entry).
Entry 0 is the coldest colour.
"""
import argparse
import os
import struct
import sys

# (name, [(position 0..1, (r, g, b)), ...]) in the order field.ini lists them.
PALETTES = [
    ("iron", [(0.0, (0, 0, 0)), (0.12, (30, 0, 110)), (0.3, (140, 0, 150)), (0.5, (220, 50, 60)),
              (0.7, (250, 140, 0)), (0.88, (255, 220, 40)), (1.0, (255, 255, 255))]),
    ("rainbow", [(0.0, (0, 0, 128)), (0.15, (0, 0, 255)), (0.35, (0, 255, 255)), (0.5, (0, 255, 0)),
                 (0.65, (255, 255, 0)), (0.85, (255, 0, 0)), (1.0, (128, 0, 0))]),
    ("white hot", [(0.0, (0, 0, 0)), (1.0, (255, 255, 255))]),
    ("black hot", [(0.0, (255, 255, 255)), (1.0, (0, 0, 0))]),
    ("high-contrast rainbow", [(0.0, (0, 0, 0)), (0.1, (0, 0, 255)), (0.2, (0, 255, 255)),
                               (0.3, (0, 255, 0)), (0.4, (255, 255, 0)), (0.5, (255, 0, 0)),
                               (0.6, (255, 0, 255)), (0.7, (0, 0, 255)), (0.8, (0, 255, 0)),
                               (0.9, (255, 255, 0)), (1.0, (255, 255, 255))]),
    ("lava", [(0.0, (0, 0, 0)), (0.3, (120, 0, 0)), (0.55, (230, 30, 0)), (0.8, (255, 160, 0)),
              (1.0, (255, 255, 160))]),
    ("arctic", [(0.0, (0, 0, 0)), (0.3, (0, 0, 140)), (0.6, (0, 120, 255)), (0.85, (90, 230, 255)),
                (1.0, (255, 255, 255))]),
    ("medical", [(0.0, (0, 0, 160)), (0.25, (0, 160, 255)), (0.45, (0, 200, 0)),
                 (0.65, (255, 255, 0)), (0.85, (255, 0, 0)), (1.0, (255, 255, 255))]),
    ("amber", [(0.0, (0, 0, 0)), (0.35, (110, 50, 0)), (0.7, (255, 170, 0)), (1.0, (255, 250, 200))]),
    ("blue-red", [(0.0, (0, 0, 180)), (0.5, (255, 255, 255)), (1.0, (200, 0, 0))]),
]


def ramp(stops):
    """256 (r, g, b) entries interpolated linearly between colour stops."""
    out = []
    for k in range(256):
        x = k / 255.0
        for (x0, c0), (x1, c1) in zip(stops, stops[1:]):
            if x <= x1:
                f = 0.0 if x1 == x0 else (x - x0) / (x1 - x0)
                out.append(tuple(int(round(a + (b - a) * f)) for a, b in zip(c0, c1)))
                break
    return out


def bmp_24(colours):
    """A 24-bit BMP, len(colours) pixels wide and one row high."""
    width = len(colours)
    row = bytearray()
    for r, g, b in colours:
        row += bytes((b, g, r))
    row += b"\0" * ((4 - len(row) % 4) % 4)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(row), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, 1, 1, 24, 0, len(row), 2835, 2835, 0, 0)
    return header + info + bytes(row)


def write_field_ini(template, path):
    with open(template, encoding="utf-8") as f:
        lines = [l for l in f.read().splitlines() if not l.startswith(";;")]
    with open(path, "wb") as f:
        f.write("\r\n".join(lines).encode("gbk") + b"\r\n")


# The editor's and new texts' starting rich text: one empty paragraph in the
# default Chinese font (宋体, GB2312, 10.5 points).
def wenben_rtf():
    face = "".join("\\'%02x" % b for b in "宋体".encode("gbk"))
    text = ("{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fcharset134 "
            + face + ";}}\r\n\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs21\\par\r\n}\r\n")
    return text.encode("ascii")


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("outdir")
    ap.add_argument("--field-ini", help="field.ini template in UTF-8 (default: data/field.ini.in)")
    args = ap.parse_args(argv)
    os.makedirs(args.outdir, exist_ok=True)
    for i, (_, stops) in enumerate(PALETTES, start=1):
        with open(os.path.join(args.outdir, "nruler%d.bmp" % i), "wb") as f:
            f.write(bmp_24(ramp(stops)))
    template = args.field_ini or os.path.join(os.path.dirname(__file__), "..", "data", "field.ini.in")
    write_field_ini(template, os.path.join(args.outdir, "field.ini"))
    with open(os.path.join(args.outdir, "wenben.dat"), "wb") as f:
        f.write(wenben_rtf())
    return 0


if __name__ == "__main__":
    sys.exit(main())
