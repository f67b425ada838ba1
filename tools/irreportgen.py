#!/usr/bin/env python3
"""Writes the Contents archive of reports holding one infrared image object,
as each report format version from 0.0 to 6.0 stored it.

    tools/irreportgen.py one --version 5.0 --image FILE [--list FILE ...]
                         [--analyses N] -o CONTENTS
    tools/irreportgen.py corpus DIR --fixtures FIXTURE_DIR

Written from the layout of the image object's record alone (it shares no
code with the report designer): the draw-object base record, the image
holder's block (u32 length, u16 model version, u32 scheme, four u32 grays,
the file's bytes), the record version byte (the integer part of the format
version), the scene and display fields, the reference settings (versions
above 4.0), the isotherms (ten above 5.0, else two), the show flags and the
picture-folder list (above 0.0; entry parameter words above 1.0, the
remembered range above 2.0, the atmosphere above 3.0 or record version
above 2), unit, palette, inversion and transmittance (above 1.0) and the
analyses (256-byte records from version 4, 128-byte records before).

"corpus" writes one Contents file per version (v0.0 ... v6.0) into DIR,
each image and list made of camera files from FIXTURE_DIR (written by
tools/vnigen.py), and a small report with a JPEG container in its list.
"""
import argparse
import ntpath
import os
import struct
import sys

VERSIONS = [0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0]


class Writer:
    def __init__(self):
        self.out = bytearray()

    def u8(self, v):
        self.out += struct.pack("<B", v)

    def u16(self, v):
        self.out += struct.pack("<H", v)

    def u32(self, v):
        self.out += struct.pack("<I", v & 0xFFFFFFFF)

    def i32(self, v):
        self.out += struct.pack("<i", v)

    def f32(self, v):
        self.out += struct.pack("<f", v)

    def raw(self, b):
        self.out += b

    def count(self, n):
        if n < 0xFFFF:
            self.u16(n)
        else:
            self.u16(0xFFFF)
            self.u32(n)

    def string(self, text):
        b = text.encode("gbk")
        if len(b) < 0xFF:
            self.u8(len(b))
        elif len(b) < 0xFFFE:
            self.u8(0xFF)
            self.u16(len(b))
        else:
            self.u8(0xFF)
            self.u16(0xFFFF)
            self.u32(len(b))
        self.raw(b)

    def new_class(self, name, schema=0):
        self.u16(0xFFFF)
        self.u16(schema)
        self.u16(len(name))
        self.raw(name.encode("ascii"))


def analysis_record(kind, number, name, shape, old):
    """One analysis: 256 bytes, or the older form's first 128."""
    b = bytearray(256)
    struct.pack_into("<i", b, 0, number)
    struct.pack_into("<fff", b, 4, -2000.0, 5000.0, 0.0)
    nb = name.encode("gbk")[:11]
    b[32:32 + len(nb)] = nb
    struct.pack_into("<I", b, 44, 0xFFFF00)
    struct.pack_into("<ff", b, 48, 0.95, 1.0)
    struct.pack_into("<i", b, 56, kind)
    struct.pack_into("<4i", b, 60, *shape)
    struct.pack_into("<i", b, 124, 1)
    struct.pack_into("<ff", b, 140, 20.0, 20.0)
    return bytes(b[:128]) if old else bytes(b)


ANALYSES = [
    (1, 1, "点01", (5, 5, 0, 0)),
    (2, 1, "线01", (0, 0, 10, 8)),
    (3, 1, "区域01", (2, 2, 8, 8)),
    (4, 2, "区域02", (1, 1, 9, 7)),
]


def image_record(w, version, image, files, analyses):
    record = int(version)
    # base record: position, pen, brush, page, table cell
    for v in (1000, -1000, 5000, -4000):
        w.i32(v)
    w.u16(1)
    w.u32(6)
    w.i32(1)
    w.i32(1)
    w.u32(0)
    w.u16(1)
    w.u32(0)
    w.u32(0xFFFFFF)
    w.i32(0)
    w.u32(0)
    w.u32(0)
    # image holder block
    w.u32(len(image))
    if image:
        w.u16(4)
        w.u32(0)
        w.u32(9000)
        w.u32(7000)
        w.u32(8800)
        w.u32(7200)
        w.raw(image)
    w.u8(record)
    w.f32(0.08)   # pixels per unit
    w.f32(0.08)
    w.f32(35.0)   # display high, low
    w.f32(15.0)
    if record > 1:
        w.f32(36.0)
        w.f32(14.0)
    w.i32(1)       # number
    w.u32(1600000000)
    w.string("图像.VNI")
    w.string("D:\\热像\\")
    w.f32(-20.0)
    w.f32(250.0)
    for text in ("VN410K4", "SN0001", "2020-09-13", "1.0"):
        w.string(text)
    w.u32(0x000000)
    w.f32(0.95)   # emissivity
    w.f32(2.0)    # distance
    w.f32(21.0)   # ambient
    w.f32(19.0)   # background
    w.f32(22.0)   # reference
    w.f32(0.65)   # humidity
    w.string("电机")
    if version > 4.0:
        for v in (0, 1, 1, 1, 1):
            w.u32(v)
    for i in range(10 if version > 5.0 else 2):
        w.u32(1 if i == 0 else 0)
        w.f32(30.0 + i)
        w.f32(2.0)
        w.u32(0x0000FF + i)
    if version > 0.0:
        w.u32(1)
        w.u32(1)
        w.u32(0)
        w.i32(len(files))
        w.i32(0)
        w.i32(2)
        for path, data in files:
            w.string(ntpath.basename(path))
            w.string(path)
            w.u32(len(data))
            w.u32(1600000000)
            w.raw(data)
            if version > 1.0:
                w.u16(95)
                w.i32(2100)
                w.u16(2)
                w.u16(65)
                w.i32(2100)
            if version > 2.0:
                w.f32(0.0)
                w.f32(0.0)
            if version > 3.0 or record > 2:
                w.f32(19.0)
                w.f32(19.0)
    if version > 1.0:
        w.u32(0)    # unit
        w.i32(2)    # palette
        w.u32(0)    # inverted
        w.f32(0.98)
    old = int(version) < 4
    chosen = ANALYSES[:analyses]
    w.count(len(chosen))
    for kind, number, name, shape in chosen:
        w.raw(analysis_record(kind, number, name, shape, old))


def contents(version, image, files, analyses):
    w = Writer()
    w.u32(1)             # pages
    w.f32(version)
    w.u32(0xFFFFFF)
    w.i32(8330)
    w.i32(11790)
    w.u32(0)             # locked
    if version > 3.0:
        w.u32(1)         # show numbers
    w.count(1)
    w.new_class("CDrawIR")
    image_record(w, version, image, files, analyses)
    w.count(1)
    title = "Report1".encode("gbk")
    w.raw(title + b"\0" * (41 - len(title)))
    return bytes(w.out)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    one = sub.add_parser("one")
    one.add_argument("--version", type=float, required=True)
    one.add_argument("--image", required=True)
    one.add_argument("--list", nargs="*", default=[])
    one.add_argument("--analyses", type=int, default=4)
    one.add_argument("-o", "--output", required=True)
    corpus = sub.add_parser("corpus")
    corpus.add_argument("dir")
    corpus.add_argument("--fixtures", required=True)
    args = parser.parse_args()

    if args.command == "one":
        files = [(p, read(p)) for p in args.list]
        data = contents(args.version, read(args.image), files, args.analyses)
        with open(args.output, "wb") as f:
            f.write(data)
        return 0

    os.makedirs(args.dir, exist_ok=True)
    fx = lambda name: os.path.join(args.fixtures, name)
    image = read(fx("k4.vni"))
    listed = [("D:\\热像\\k4.vni", image), ("D:\\热像\\k5.vni", read(fx("k5.vni"))),
              ("D:\\热像\\photo.jpg", read(fx("jpg_still.jpg")))]
    for version in VERSIONS:
        with open(os.path.join(args.dir, "v%.1f" % version), "wb") as f:
            f.write(contents(version, image, listed, 4))
    with open(os.path.join(args.dir, "v6.0-empty"), "wb") as f:
        f.write(contents(6.0, b"", [], 0))
    return 0


if __name__ == "__main__":
    sys.exit(main())
