#!/usr/bin/env python3
"""Writes infrared camera files (still images, .VNI) for tests and demos.

Written from the byte layout of the camera's files alone; it shares nothing
with the library that reads them. All integers are little-endian.

    vnigen.py image [options] -o FILE     one still image
    vnigen.py fixtures DIR                the test fixtures (see `list`)
    vnigen.py demo DIR                    a small folder of images to look at
    vnigen.py list                        names and descriptions of the fixtures

Gray of pixel (x, y) in every generated frame unless --pattern says otherwise:
    2000 + (37 * x + 101 * y) % 12000
"""
import argparse
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mtpara  # noqa: E402

BLOCK_SIZE = 428
CALIB_TAG = 0xFD5050FD
DISPLAY_TAG = 0xFD5151FD
LINE_ENTRIES = 103
PLANE_TABLE_SIZE = 112
RADIOMETRIC = ("VN410K8", "VN410K9", "VN410K10")


def gray_ramp(x, y):
    return 2000 + (37 * x + 101 * y) % 12000


def gray_blob(x, y, w, h):
    """A warm spot on a cool background, for pictures meant to be looked at."""
    cx, cy = w * 0.6, h * 0.45
    r2 = ((x - cx) / (w * 0.22)) ** 2 + ((y - cy) / (h * 0.3)) ** 2
    return int(3000 + 6000 * math.exp(-r2) + 400 * math.sin(x * 0.05) + 3 * y)


def text(value, size):
    raw = value.encode("ascii") if isinstance(value, str) else bytes(value)
    return raw[:size].ljust(size, b"\0")


def line_table():
    """103 ascending entries {gray, temperature in degrees Celsius}."""
    out = bytearray()
    for i in range(LINE_ENTRIES):
        out += struct.pack("<ii", 1000 + 120 * i, -20 + 2 * i)
    return bytes(out)


def plane_table():
    t = bytearray(PLANE_TABLE_SIZE)
    struct.pack_into("<iiii", t, 8, 2, 2, 4, 4)        # board x, y, width, height
    struct.pack_into("<i", t, 28, 2500)                 # base temperature x100
    for i in range(10):                                 # (boundary ambient x100, k x100)
        struct.pack_into("<ii", t, 32 + 8 * i, -2000 + 1000 * i, 90 + i)
    return bytes(t)


def records():
    """Four points, three rectangles, three lines (coordinates for 640 wide)."""
    out = bytearray()
    for i in range(4):
        state = 1 if i < 2 else 2
        out += struct.pack("<iiiiif", 600 - 100 * i, 400 - 50 * i, state, 95, 3, 3650.0 + i)
    for i in range(3):
        out += struct.pack("<hhhhiiifii", 40 + 10 * i, 30, 200, 100, 1 if i == 0 else 2, 95, 3,
                           4100.0, 120, 80)
    for i in range(3):
        out += struct.pack("<hhhhiiiHHf", 10, 20 + i, 600, 440, 1 if i == 0 else 2, 95, 3,
                           300, 220, 3900.0)
    assert len(out) == 96 + 96 + 84
    return bytes(out)


class Still:
    """One still image. Attributes are the parts to write; `sizes` overrides
    the sizes written into the block without changing the parts."""

    def __init__(self, model="VN410K4", width=16, height=12):
        self.model = model
        self.width = width
        self.height = height
        self.pattern = "ramp"
        self.photo = b""
        self.photo_width = 0
        self.photo_height = 0
        self.sound = b""
        self.sound_coding = 1
        self.line_table = line_table()
        self.with_records = False
        self.ambient100 = 2350
        self.distance = 2
        self.humidity = 55
        self.emissivity100 = 95
        self.atmo_percent = 100
        self.palette_id = 3
        self.first_correction100 = 98
        self.second_correction100 = 0
        self.correction_int = 0
        self.range_low100 = -2000
        self.range_high100 = 35000
        self.sizes = {}          # gray, photo, sound, line: values written in the block
        self.calib = None        # bytes after the tag and length (K8-K10)
        self.calib_tag = CALIB_TAG
        self.calib_length = None  # length field written (default: len(calib))
        self.display = None      # (agc, upper x100, lower x100), or raw bytes
        self.display_tag = DISPLAY_TAG
        self.tail = b""          # K11 plane table, or any bytes after E
        self.block_width = None  # width/height written into the block
        self.block_height = None
        self.cut = 0             # bytes dropped from the end
        if model.startswith(RADIOMETRIC):
            self.calib = mtpara.preset("camera").bytes()
        if model.startswith("VN410K11"):
            self.tail = plane_table()

    # -- parts ------------------------------------------------------------
    def gray(self):
        out = bytearray()
        for y in range(self.height):
            for x in range(self.width):
                if self.pattern == "blob":
                    g = gray_blob(x, y, self.width, self.height)
                else:
                    g = gray_ramp(x, y)
                out += struct.pack("<H", g & 0xFFFF)
        return bytes(out)

    def add_photo(self, width=None, height=None, raw=None):
        self.photo_width = self.width if width is None else width
        self.photo_height = self.height if height is None else height
        if raw is None:
            raw = bytes((i * 7 + 3) & 0xFF for i in range(self.photo_width * self.photo_height * 4))
        self.photo = raw
        return self

    def add_sound(self, n=200, coding=1):
        self.sound = bytes((i * 13 + 5) & 0xFF for i in range(n))
        self.sound_coding = coding
        return self

    def block(self, gray_len):
        b = bytearray(BLOCK_SIZE)
        b[0:12] = text(self.model, 12)
        bw = self.width if self.block_width is None else self.block_width
        bh = self.height if self.block_height is None else self.block_height
        struct.pack_into("<HHBB", b, 12, bw, bh, 16, self.sound_coding)
        struct.pack_into("<I", b, 20, self.sizes.get("gray", gray_len))
        struct.pack_into("<HHII", b, 24, self.photo_width, self.photo_height,
                         self.sizes.get("photo", len(self.photo)),
                         self.sizes.get("sound", len(self.sound)))
        struct.pack_into("<BBHiHH", b, 36, self.palette_id, 1, self.atmo_percent,
                         self.ambient100, self.distance, self.humidity)
        if self.with_records:
            b[48:324] = records()
        else:
            for i in range(4):
                struct.pack_into("<i", b, 48 + 24 * i + 8, 2)
            for i in range(3):
                struct.pack_into("<i", b, 144 + 32 * i + 8, 2)
                struct.pack_into("<i", b, 240 + 28 * i + 8, 2)
        struct.pack_into("<iIii", b, 324, self.second_correction100,
                         self.sizes.get("line", len(self.line_table)),
                         self.first_correction100, self.correction_int)
        struct.pack_into("<H", b, 340, self.emissivity100)
        if self.model.startswith("VN410K3"):
            struct.pack_into("<hh", b, 344, self.range_low100 // 10, self.range_high100 // 10)
        else:
            struct.pack_into("<i", b, 344, self.range_low100)
        b[348:356] = text("RQ52T", 8)
        b[356:372] = text("RQ52T V2.3.1", 16)
        b[372:388] = text("RQ5220100412", 16)
        b[388:420] = text("Apr 12 2010 09:15:42", 32)
        struct.pack_into("<IB", b, 420, self.range_high100, 7)
        return bytes(b)

    def bytes(self):
        gray = self.gray()
        out = bytearray(self.block(len(gray)))
        out += gray + self.photo + self.sound + self.line_table
        if self.calib is not None:
            length = len(self.calib) if self.calib_length is None else self.calib_length
            out += struct.pack("<II", self.calib_tag, length) + self.calib
            if self.display is not None:
                if isinstance(self.display, (bytes, bytearray)):
                    out += self.display
                else:
                    agc, upper, lower = self.display
                    out += struct.pack("<I8sBii", self.display_tag, b"\0" * 8, agc, upper, lower)
        out += self.tail
        return bytes(out[:len(out) - self.cut])


def calib_of_length(n):
    """The camera preset cut to n bytes, or padded with a byte pattern."""
    full = mtpara.preset("camera").bytes()
    if n <= len(full):
        return full[:n]
    return full + bytes((i * 11 + 1) & 0xFF for i in range(n - len(full)))


# -- the fixture set ---------------------------------------------------------

def _own(model="VN410K4", w=16, h=12):
    return Still(model, w, h)


def _full(model, w=16, h=12):
    s = Still(model, w, h).add_photo().add_sound(200, 1)
    s.with_records = True
    return s


def _k8(model="VN410K8", w=16, h=12, display=(1, 4500, 1500)):
    s = Still(model, w, h)
    s.display = display
    return s


def _with(s, **attrs):
    for k, v in attrs.items():
        setattr(s, k, v)
    return s


FIXTURES = {
    # Opens; one per model family and model-table row.
    "k4": ("own-model camera, 103-entry line table", lambda: _own()),
    "k4_full": ("VN410K4 with photo, ADPCM sound and stored records", lambda: _full("VN410K4")),
    "k2": ("a model matching no table row (version 1, scheme 0)", lambda: _own("VN410K2")),
    "k5": ("VN410K5", lambda: _own("VN410K5")),
    "k6": ("VN410K6", lambda: _own("VN410K6")),
    "k7": ("VN410K7", lambda: _own("VN410K7")),
    "k3": ("VN410K3 dual block, exact length, photo and sound",
           lambda: Still("VN410K3").add_photo().add_sound(64, 0)),
    "k8": ("VN410K8 with calibration and display block", lambda: _k8()),
    "k8_full": ("VN410K8 with photo, sound, records, calibration, display block",
                lambda: _with(_full("VN410K8"), display=(1, 4500, 1500))),
    "k9": ("VN410K9 with calibration and display block", lambda: _k8("VN410K9")),
    "k10": ("VN410K10 ending right after the calibration block", lambda: _k8("VN410K10", display=None)),
    "k11": ("VN410K11 with a 112-byte plane table", lambda: _own("VN410K11")),
    "k4_320": ("VN410K4, 320 x 240", lambda: _own("VN410K4", 320, 240)),
    "k8_160": ("VN410K8, 160 x 120", lambda: _k8("VN410K8", 160, 120)),
    "k8_640": ("VN410K8, 640 x 480, with a photo", lambda: _k8("VN410K8", 640, 480).add_photo(64, 48)),
    "k8_calib1008": ("VN410K8 with an older 1008-byte calibration block",
                     lambda: _with(_k8(), calib=calib_of_length(1008))),
    "k8_calib4000": ("VN410K8 with a 4000-byte calibration block (bytes beyond 3356)",
                     lambda: _with(_k8(), calib=calib_of_length(4000))),
    "k11_short_tail": ("VN410K11 whose plane table has 20 bytes",
                       lambda: _with(_own("VN410K11"), tail=plane_table()[:20])),
    "k11_long_tail": ("VN410K11 with 200 bytes after the line table",
                      lambda: _with(_own("VN410K11"), tail=plane_table() + bytes(range(88)))),
    # Opens, with a part counted as absent.
    "k4_photo_oversize": ("photo size beyond the end of the file",
                          lambda: _with(_own().add_photo(), sizes={"photo": 1 << 31})),
    "k4_sound_oversize": ("sound size beyond the end of the file",
                          lambda: _with(_own().add_sound(), sizes={"sound": 0xFFFFFFFF})),
    "k4_line_oversize": ("line table size beyond the end of the file",
                         lambda: _with(_own(), sizes={"line": 100000})),
    "k8_calib_oversize": ("calibration length beyond the end of the file",
                          lambda: _with(_k8(display=None), calib_length=0xFFFFFFF0)),
    "k8_display_badtag": ("display block without its tag",
                          lambda: _with(_k8(), display_tag=0x12345678)),
    "k8_display_partial": ("10 bytes where the display block would be",
                           lambda: _with(_k8(), display=bytes(10))),
    # Refused.
    "bad_lowercase": ("model written in lower case", lambda: _own("vn410k4")),
    "bad_model": ("model not beginning VN410K", lambda: _own("XN410K4")),
    "bad_width0": ("width 0", lambda: _with(_own(), block_width=0)),
    "bad_width9000": ("width 9000", lambda: _with(_own(), block_width=9000)),
    "bad_frame_missing": ("height larger than the gray frame present",
                          lambda: _with(_own(), block_height=400)),
    "bad_k3_extra_byte": ("VN410K3 one byte longer than its block says",
                          lambda: _with(Still("VN410K3"), tail=b"\0")),
    "bad_k3_gray_size": ("VN410K3 whose gray size is wrong",
                         lambda: _with(Still("VN410K3"), sizes={"gray": 100})),
    "bad_k9_no_tag": ("VN410K9 without the calibration tag",
                      lambda: _with(_k8("VN410K9"), calib_tag=0x50FD50FD)),
    "bad_k8_no_room": ("VN410K8 ending 4 bytes after the line table",
                       lambda: _with(_k8(display=None), calib=b"", cut=4)),
    "bad_k11_no_room": ("VN410K11 with 4 bytes after the line table",
                        lambda: _with(_own("VN410K11"), tail=b"\1\2\3\4")),
}


def fixture_bytes(name):
    return FIXTURES[name][1]().bytes()


def write(path, data):
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def cmd_fixtures(args):
    for name in FIXTURES:
        write(os.path.join(args.dir, name + ".vni"), fixture_bytes(name))
    write(os.path.join(args.dir, "palette.bmp"), palette_bmp())
    return 0


def palette_bmp():
    """A 256 x 1, 24-bit BMP whose first pixel bytes are 10 20 30 (hex)."""
    pixels = bytearray()
    for i in range(256):
        pixels += bytes((0x10, 0x20, 0x30)) if i == 0 else bytes((i, 255 - i, (i * 3) & 0xFF))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, 256, 1, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + bytes(pixels)


def cmd_demo(args):
    images = {
        "demo_k4_320.vni": _with(Still("VN410K4", 320, 240), pattern="blob"),
        "demo_k8_640.vni": _with(_k8("VN410K8", 640, 480), pattern="blob"),
        "demo_k9_320_photo.vni": _with(_k8("VN410K9", 320, 240), pattern="blob").add_photo(),
        "demo_k11_320.vni": _with(Still("VN410K11", 320, 240), pattern="blob"),
    }
    for name, s in images.items():
        write(os.path.join(args.dir, name), s.bytes())
    return 0


def cmd_list(_args):
    for name, (desc, _) in FIXTURES.items():
        print("%-20s %s" % (name, desc))
    return 0


def cmd_image(args):
    s = Still(args.model, args.width, args.height)
    s.pattern = args.pattern
    s.distance = args.distance
    if args.photo:
        s.add_photo()
    if args.sound:
        s.add_sound(args.sound, args.sound_coding)
    s.with_records = args.records
    if args.no_line_table:
        s.line_table = b""
    if args.calib_length is not None and s.calib is not None:
        s.calib = calib_of_length(args.calib_length)
    if args.display and s.calib is not None:
        s.display = (1, args.display[0], args.display[1])
    for item in args.size:
        part, _, value = item.partition("=")
        if part not in ("gray", "photo", "sound", "line"):
            raise SystemExit("--size: unknown part %r" % part)
        s.sizes[part] = int(value, 0)
    data = s.bytes()
    if args.truncate is not None:
        data = data[:args.truncate]
    write(args.output, data)
    return 0


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    sub = ap.add_subparsers(dest="cmd", required=True)

    im = sub.add_parser("image", help="write one still image")
    im.add_argument("--model", default="VN410K4")
    im.add_argument("--width", type=int, default=16)
    im.add_argument("--height", type=int, default=12)
    im.add_argument("--pattern", choices=("ramp", "blob"), default="ramp")
    im.add_argument("--distance", type=int, default=2, help="distance field as stored")
    im.add_argument("--photo", action="store_true", help="add a raw 32-bit photo of the image size")
    im.add_argument("--sound", type=int, default=0, metavar="N", help="add N bytes of sound")
    im.add_argument("--sound-coding", type=int, default=1)
    im.add_argument("--records", action="store_true", help="store measurement records")
    im.add_argument("--no-line-table", action="store_true")
    im.add_argument("--calib-length", type=int, metavar="N",
                    help="VN410K8/9/10: calibration block of N bytes")
    im.add_argument("--display", type=int, nargs=2, metavar=("UPPER", "LOWER"),
                    help="VN410K8/9/10: display block, temperatures x100")
    im.add_argument("--size", action="append", default=[], metavar="PART=VALUE",
                    help="write VALUE as the size of gray, photo, sound or line")
    im.add_argument("--truncate", type=int, metavar="N", help="keep the first N bytes")
    im.add_argument("-o", "--output", required=True)
    im.set_defaults(fn=cmd_image)

    fx = sub.add_parser("fixtures", help="write the test fixtures into DIR")
    fx.add_argument("dir")
    fx.set_defaults(fn=cmd_fixtures)

    dm = sub.add_parser("demo", help="write a demo folder of images into DIR")
    dm.add_argument("dir")
    dm.set_defaults(fn=cmd_demo)

    ls = sub.add_parser("list", help="list the fixtures")
    ls.set_defaults(fn=cmd_list)

    args = ap.parse_args(argv)
    return args.fn(args)


if __name__ == "__main__":
    sys.exit(main())
