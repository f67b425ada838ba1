#!/usr/bin/env python3
"""Writes infrared camera files (still images .VNI, sequences .VNV, JPEG
containers) for tests and demos.

Written from the byte layout of the camera's files alone; it shares nothing
with the library that reads them. All integers are little-endian.

    vnigen.py image [options] -o FILE     one still image
    vnigen.py sequence [options] -o FILE  one sequence
    vnigen.py fixtures DIR [--large DIR2] the test fixtures (see `list`)
    vnigen.py demo DIR                    a small folder of images to look at
    vnigen.py list                        names and descriptions of the fixtures

Gray of pixel (x, y) in every generated frame unless --pattern says otherwise:
    2000 + (37 * x + 101 * y) % 12000
except that pixel (0, 0) of frame k (from 0) of a sequence holds k + 1.
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


_RAMPS = {}


def ramp_bytes(w, h):
    """The ramp frame of w x h grays (kept: sequences repeat it)."""
    if (w, h) not in _RAMPS:
        _RAMPS[(w, h)] = b"".join(struct.pack("<H", gray_ramp(x, y))
                                  for y in range(h) for x in range(w))
    return _RAMPS[(w, h)]


def text(value, size):
    raw = value.encode("ascii") if isinstance(value, str) else bytes(value)
    return raw[:size].ljust(size, b"\0")


def line_table():
    """103 ascending entries {gray, temperature in degrees Celsius}."""
    out = bytearray()
    for i in range(LINE_ENTRIES):
        out += struct.pack("<ii", 1000 + 120 * i, -20 + 2 * i)
    return bytes(out)


def plane_table(k_x100=90):
    """k_x100: the gain k x100 of the first ambient band (the fixtures' tiny
    default turns a gray step into about 11 degrees; a camera's k of a few
    hundred gives a tenth of a degree)."""
    t = bytearray(PLANE_TABLE_SIZE)
    struct.pack_into("<iiii", t, 8, 2, 2, 4, 4)        # board x, y, width, height
    struct.pack_into("<i", t, 28, 2500)                 # base temperature x100
    for i in range(10):                                 # (boundary ambient x100, k x100)
        struct.pack_into("<ii", t, 32 + 8 * i, -2000 + 1000 * i, k_x100 + i)
    return bytes(t)


def records(chosen=None):
    """Four points, three rectangles, three lines (coordinates for 640 wide).
    chosen: {("point" | "rect" | "line", index): coordinates} makes exactly
    those records present, at those coordinates (x, y; x, y, width, height;
    x1, y1, x2, y2); the others are absent (state 2)."""
    def state(kind, i, default):
        if chosen is None:
            return default
        return 1 if (kind, i) in chosen else 2

    def at(kind, i, default):
        return chosen.get((kind, i), default) if chosen is not None else default

    out = bytearray()
    for i in range(4):
        x, y = at("point", i, (600 - 100 * i, 400 - 50 * i))
        out += struct.pack("<iiiiif", x, y, state("point", i, 1 if i < 2 else 2), 95, 3, 3650.0 + i)
    for i in range(3):
        x, y, w, h = at("rect", i, (40 + 10 * i, 30, 200, 100))
        out += struct.pack("<hhhhiiifii", x, y, w, h, state("rect", i, 1 if i == 0 else 2), 95, 3,
                           4100.0, 120, 80)
    for i in range(3):
        x1, y1, x2, y2 = at("line", i, (10, 20 + i, 600, 440))
        out += struct.pack("<hhhhiiiHHf", x1, y1, x2, y2, state("line", i, 1 if i == 0 else 2), 95, 3,
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
        self.chosen_records = None  # see records(); implies with_records
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
        self.first_gray = None   # value of pixel (0, 0), for sequence frames
        if model.startswith(RADIOMETRIC):
            self.calib = mtpara.preset("camera").bytes()
        if model.startswith("VN410K11"):
            self.tail = plane_table()

    # -- parts ------------------------------------------------------------
    def gray(self):
        if self.pattern == "blob":
            out = bytearray()
            for y in range(self.height):
                for x in range(self.width):
                    out += struct.pack("<H", gray_blob(x, y, self.width, self.height) & 0xFFFF)
        else:
            out = bytearray(ramp_bytes(self.width, self.height))
        if self.first_gray is not None and out:
            struct.pack_into("<H", out, 0, self.first_gray & 0xFFFF)
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
        if self.with_records or self.chosen_records is not None:
            b[48:324] = records(self.chosen_records)
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


# -- sequences and containers -------------------------------------------------

CHUNK_MAGIC = 0x66DDDD66
PARAMS, GRAY, SOUND, PHOTO, CALIB, REMARK, SETTINGS = 0, 2, 3, 4, 6, 7, 8
REMARK_TEXT = "红外序列备注：锅炉房东侧管道".encode("utf-8")

# A real 16 x 8 baseline gray JPEG (394 bytes) that holds no "VN410K".
TINY_JPEG = bytes.fromhex(
    "ffd8ffe000104a46494600010100000100010000ffdb004300080606070605080707070909080a0c140d"
    "0c0b0b0c1912130f141d1a1f1e1d1a1c1c20242e2720222c231c1c2837292c30313434341f27393d3832"
    "3c2e333432ffc0000b080008001001011100ffc4001f0000010501010101010100000000000000000102"
    "030405060708090a0bffc400b5100002010303020403050504040000017d010203000411051221314106"
    "13516107227114328191a1082342b1c11552d1f02433627282090a161718191a25262728292a34353637"
    "38393a434445464748494a535455565758595a636465666768696a737475767778797a83848586878889"
    "8a92939495969798999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6"
    "d7d8d9dae1e2e3e4e5e6e7e8e9eaf1f2f3f4f5f6f7f8f9faffda0008010100003f007d8f80f4bf0f69df"
    "6fd5e782cad578df31c6e2013b547566c038519271c0a8e4f1b2c370b6fe14d1239d11f0d777e8c15c02"
    "c3e58d48383f290cc41ea0a8eb5fffd9")


# A 4 KB JPEG whose frame header claims 65535 x 65535 pixels.
HUGE_FRAME_JPEG_PATH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "thermcore", "jpeg", "tests",
                                    "fixtures", "frame-65535x65535.jpg")


def huge_frame_photo():
    """VN410K10 whose JPEG photo (4 KB) and block claim 65535 x 65535 pixels."""
    with open(HUGE_FRAME_JPEG_PATH, "rb") as f:
        return Still("VN410K10").add_photo(65535, 65535, f.read())


def calib_far_grays():
    """An older 1008-byte block: the camera preset with an active curve whose
    grays run far beyond 16 bits (0 and 100 degrees convert to about -2e8
    and 4e8)."""
    b = mtpara.preset("camera")
    temps, _ = mtpara.GEAR_CURVES[0]
    b.active(temps, [-2e9, -1e9, -1e8, 0, 1e3, 1e8, 5e8, 1e9, 2e9])
    return b.bytes()[:1008]


def seq_frame(w, h, k):
    """Frame k (from 0) of a sequence: the ramp with pixel (0, 0) = k + 1."""
    return struct.pack("<H", (k + 1) & 0xFFFF) + ramp_bytes(w, h)[2:]


class Seq:
    """A sequence of layout 1, 2 or 3: the 16-byte header, then chunks with a
    20-byte header (28 in layout 2). Each header records the real data size
    of the chunk before it."""

    def __init__(self, layout=1, model="VN410K4", width=16, height=12, interval=40):
        self.layout = layout
        self.model = model
        self.width = width
        self.height = height
        self.interval = interval
        self.header_width = None
        self.chunks = []   # [type, time, data, magic, size written]
        self.cut = 0

    def add(self, ctype, time, data, magic=CHUNK_MAGIC, size=None):
        self.chunks.append([ctype, time, bytes(data), magic, size])
        return self

    def params(self, time, calib=None):
        """A parameter chunk: the block and the line table, or in layout 3
        the block and a calibration payload."""
        block = Still(self.model, self.width, self.height).block(self.width * self.height * 2)
        return self.add(PARAMS, time, block + (line_table() if calib is None else calib))

    def frame(self, time, k):
        return self.add(GRAY, time, seq_frame(self.width, self.height, k))

    def frames(self, n, t0=1000, k0=0):
        for i in range(n):
            self.frame(t0 + self.interval * i, k0 + i)
        return self

    def parts(self):
        w = self.width if self.header_width is None else self.header_width
        yield struct.pack("<IIII", self.layout, self.interval, w, self.height)
        prev = 0
        for ctype, time, data, magic, size in self.chunks:
            n = len(data) if size is None else size
            if self.layout == 2:
                yield struct.pack("<IiII8sI", magic, time, prev, ctype, b"\0" * 8, n)
            else:
                yield struct.pack("<IiIII", magic, time, prev, ctype, n)
            yield data
            prev = len(data)

    def bytes(self):
        out = b"".join(self.parts())
        return out[:len(out) - self.cut]


class Layout0:
    """A layout-0 sequence: {u32 0, u32 frames, u32 frame size}, then fixed
    frames, each a still image padded to the frame size."""

    def __init__(self, model="VN410K4", width=16, height=12, frames=3, pad=16, line=True):
        self.model = model
        self.width = width
        self.height = height
        self.count = frames
        self.pad = pad
        self.line = line
        self.frame_size = None   # written instead of the real frame size
        self.gray_sizes = {}     # frame number -> gray size written in its block
        self.cut = 0

    def frame(self, k):
        s = Still(self.model, self.width, self.height)
        s.first_gray = k + 1
        if not self.line:
            s.line_table = b""
        if k in self.gray_sizes:
            s.sizes["gray"] = self.gray_sizes[k]
        return s.bytes() + b"\0" * self.pad

    def parts(self):
        first = self.frame(0)
        size = len(first) if self.frame_size is None else self.frame_size
        yield struct.pack("<III", 0, self.count, size)
        plain = None
        for k in range(self.count):
            if k == 0:
                yield first
            elif k in self.gray_sizes:
                yield self.frame(k)
            else:
                # Frames differ only in pixel (0, 0): reuse the first's bytes.
                plain = plain or bytearray(first)
                struct.pack_into("<H", plain, BLOCK_SIZE, (k + 1) & 0xFFFF)
                yield bytes(plain)

    def bytes(self):
        out = b"".join(self.parts())
        return out[:len(out) - self.cut]


def container(payload, sequence, at=5000, soi=True):
    """TINY_JPEG padded to `at` bytes, then the payload; a sequence is tagged
    "VN410KV" plus one byte, so it begins at at + 8."""
    jpeg = TINY_JPEG if soi else b"\0\0" + TINY_JPEG[2:]
    return jpeg.ljust(at, b"\0") + (b"VN410KV\0" if sequence else b"") + payload


def settings_chunk(threshold=300, limit=50, extra=8):
    return b"\0" * 8 + struct.pack("<II", threshold, limit) + bytes(range(extra))


def _seq_l1():
    s = Seq(1).params(1000).frame(1000, 0)
    s.add(SOUND, 1000, bytes((i * 13 + 5) & 0xFF for i in range(200)))
    s.frame(1040, 1).add(PHOTO, 1080, bytes(range(64))).frame(1080, 2)
    s.add(REMARK, 1120, REMARK_TEXT).params(1120).frame(1120, 3).frame(1160, 4)
    return s


def _seq_l2():
    s = Seq(2).params(1000).add(CALIB, 1000, mtpara.preset("camera").bytes())
    s.add(SETTINGS, 1000, settings_chunk()).frame(1000, 0).frame(1040, 1)
    s.add(99, 1080, b"0123456789").params(1080).frame(1080, 2).frame(1120, 3)
    return s


def _seq_l3():
    return Seq(3, "VN410K8").params(1000, calib=mtpara.preset("camera").bytes()).frames(4)


def _seq(layout=1, n=3):
    return Seq(layout).params(1000).frames(n)


def _seq_with(layout, after_first, n=3):
    """A parameter chunk and frame 0, then the chunks of after_first(seq),
    then frames 1 .. n-1."""
    s = Seq(layout).params(1000).frame(1000, 0)
    after_first(s)
    for k in range(1, n):
        s.frame(1000 + 40 * k, k)
    return s


def _l0_with(**attrs):
    return _with(Layout0(), **attrs)


SEQ_FIXTURES = {
    # Opens: every layout and both container forms.
    "seq_l0.vnv": ("layout 0, three 16 x 12 frames padded by 16 bytes", lambda: Layout0()),
    "seq_l1.vnv": ("layout 1, five frames, two parameter chunks, sound, photo and a UTF-8 remark",
                   _seq_l1),
    "seq_l2.vnv": ("layout 2, four frames, two parameter chunks (the index), calibration, "
                   "24-byte settings, an unknown chunk", _seq_l2),
    "seq_l3.vnv": ("layout 3, VN410K8, a parameter chunk with its calibration payload, four frames",
                   _seq_l3),
    "seq_l2_resync.vnv": ("layout 2 with a header without the magic and size 38 after frame 0",
                          lambda: _seq_with(2, lambda s: s.add(5, 1000, bytes(10), magic=0, size=38))),
    "seq_l2_settings_short.vnv": ("layout 2 with an 8-byte settings chunk",
                                  lambda: _seq_with(2, lambda s: s.add(SETTINGS, 1000, bytes(8)))),
    "seq_l2_no_params.vnv": ("layout 2 with three frames and no parameter chunk (an empty index)",
                             lambda: Seq(2).frames(3)),
    "jpg_still.jpg": ("JPEG container, still image (k4) at offset 5000",
                      lambda: container(Still().bytes(), False)),
    "jpg_seq.jpg": ("JPEG container, VN410KV at 5000, seq_l1 from 5008",
                    lambda: container(_seq_l1().bytes(), True)),
    "jpg_seq_l0.jpg": ("JPEG container, VN410KV at 5000, seq_l0 from 5008",
                       lambda: container(Layout0().bytes(), True)),
    "jpg_seq_l2.jpg": ("JPEG container, VN410KV at 5000, seq_l2 from 5008",
                       lambda: container(_seq_l2().bytes(), True)),
    # Opens; a frame read fails (see the tests' table).
    "seqbad_l0_gray_size.vnv": ("layout 0 whose frame 1 block gives a gray size of 100",
                                lambda: _l0_with(gray_sizes={1: 100})),
    "seqbad_l1_gray_short.vnv": ("layout 1, frame 1 of 100 bytes",
                                 lambda: _seq_with(1, lambda s: s.add(GRAY, 1040, bytes(100)))),
    "seqbad_l1_gray_long.vnv": ("layout 1, frame 1 of 400 bytes",
                                lambda: _seq_with(1, lambda s: s.add(GRAY, 1040, bytes(400)))),
    "seqbad_l2_gray_short.vnv": ("layout 2, frame 1 of 100 bytes",
                                 lambda: _seq_with(2, lambda s: s.add(GRAY, 1040, bytes(100)))),
    "seqbad_l1_param_small.vnv": ("layout 1 beginning with a 100-byte parameter chunk",
                                  lambda: Seq(1).add(PARAMS, 1000, bytes(100)).frames(2)),
    "seqbad_l1_param_oversize.vnv": ("layout 1 whose parameter chunk gives size 0x7FFFFFF0",
                                     lambda: Seq(1).add(PARAMS, 1000, b"", size=0x7FFFFFF0).frames(2)),
    "seqbad_l3_param_big.vnv": ("layout 3 whose parameter chunk carries 12000 bytes of calibration",
                                lambda: Seq(3, "VN410K8").params(1000, calib=bytes(12000)).frames(2)),
    "seqbad_l2_calib_big.vnv": ("layout 2 with a 12000-byte calibration chunk",
                                lambda: _seq_with(2, lambda s: s.add(CALIB, 1000, bytes(12000)))),
    "seqbad_l2_magic_small.vnv": ("layout 2 with a header without the magic and size 10",
                                  lambda: _seq_with(2, lambda s: s.add(5, 1000, b"", magic=0, size=10))),
    "seqbad_l1_magic.vnv": ("layout 1 with a header without the magic after frame 0",
                            lambda: _seq_with(1, lambda s: s.add(5, 1000, bytes(10), magic=0))),
    "seqbad_l1_sound_oversize.vnv": ("layout 1 with a sound chunk of size 0xFFFFFFFF after frame 0",
                                     lambda: _seq_with(1, lambda s: s.add(SOUND, 1000, bytes(10),
                                                                          size=0xFFFFFFFF))),
    "seqbad_l1_cut.vnv": ("seq_l1 without the last 100 bytes",
                          lambda: _with(_seq_l1(), cut=100)),
    # Refused.
    "seqbad_layout4.vnv": ("layout 4", lambda: Seq(4).params(1000).frames(2)),
    "seqbad_l0_frame_small.vnv": ("layout 0 whose frame size leaves no room for the gray frame",
                                  lambda: _l0_with(frame_size=BLOCK_SIZE + 100)),
    "seqbad_l0_frame0.vnv": ("layout 0 with frame size 0", lambda: _l0_with(frame_size=0)),
    "seqbad_l0_no_frame.vnv": ("layout 0 whose one frame of 1636 bytes has 300",
                               lambda: struct.pack("<III", 0, 1, 1636) + bytes(300)),
    "seqbad_l1_width0.vnv": ("layout 1 whose header gives width 0",
                             lambda: _with(_seq(1), header_width=0)),
    "seqbad_l1_no_magic.vnv": ("layout 1 whose every header lacks the magic",
                               lambda: Seq(1).add(PARAMS, 1000, bytes(1252), magic=0)
                               .add(GRAY, 1000, bytes(384), magic=0)),
    "seqbad_jpg_no_soi.jpg": ("container whose first bytes are not FF D8",
                              lambda: container(_seq_l1().bytes(), True, soi=False)),
    "seqbad_jpg_no_tag.jpg": ("JPEG without VN410K", lambda: TINY_JPEG + bytes(1000)),
}

# Large fixtures, kept out of the fuzzer's seed folder.
LARGE_FIXTURES = {
    "seq_l1_30000.vnv": ("layout 1, 2 x 2, a parameter chunk and 30000 frames 40 ms apart",
                         lambda: Seq(1, width=2, height=2).params(1000).frames(30000)),
    "seq_l0_24002.vnv": ("layout 0, 1 x 1, 24002 frames (one more than the index holds)",
                         lambda: Layout0(width=1, height=1, frames=24002, pad=0, line=False)),
}


def _as_bytes(made):
    return made if isinstance(made, (bytes, bytearray)) else made.bytes()


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
    "k8_display_far": ("fixed display range whose grays lie far outside 16 bits",
                       lambda: _with(_k8(display=(0, 10000, 0)), calib=calib_far_grays())),
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
    for name, (_, make) in SEQ_FIXTURES.items():
        write(os.path.join(args.dir, name), _as_bytes(make()))
    if args.large:
        for name, (_, make) in LARGE_FIXTURES.items():
            write(os.path.join(args.large, name), _as_bytes(make()))
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


def demo_photo(w, h):
    """A plain visible-light scene for the demo: sky, ground and a grey
    cabinet with a dark motor, as 32-bit pixels (blue, green, red, 0) from
    the top row down."""
    out = bytearray()
    for y in range(h):
        for x in range(w):
            if w * 3 // 8 <= x < w * 5 // 8 and h * 3 // 10 <= y < h * 8 // 10:
                inside = (x - w // 2) ** 2 + (y - h * 11 // 20) ** 2 < (h // 8) ** 2
                b, g, r = (60, 60, 70) if inside else (150, 150, 145)
            elif y < h * 2 // 5:
                b, g, r = 235, 190 + 30 * y // h, 140 + 60 * y // h
            else:
                b, g, r = 70, 120 - 40 * y // h, 90 - 20 * y // h
            out += bytes((b, g, r, 0))
    return bytes(out)


def cmd_demo(args):
    # Iron and rainbow palettes, as a camera would store them (0 and 1); the
    # later models store the distance in hundredths of a metre (2 m).
    images = {
        "demo_k4_320.vni": _with(Still("VN410K4", 320, 240), pattern="blob", palette_id=0),
        "demo_k8_640.vni": _with(_k8("VN410K8", 640, 480), pattern="blob", palette_id=0),
        "demo_k9_320_photo.vni": _with(_k8("VN410K9", 320, 240), pattern="blob", palette_id=1, distance=200)
        .add_photo(raw=demo_photo(320, 240)),
        "demo_k11_320.vni": _with(Still("VN410K11", 320, 240), pattern="blob",
                                  tail=plane_table(k_x100=60000), palette_id=0, distance=200),
    }
    for name, s in images.items():
        write(os.path.join(args.dir, name), s.bytes())
    return 0


def cmd_list(_args):
    for name, (desc, _) in FIXTURES.items():
        print("%-20s %s" % (name, desc))
    for name, (desc, _) in list(SEQ_FIXTURES.items()) + list(LARGE_FIXTURES.items()):
        print("%-30s %s" % (name, desc))
    return 0


def cmd_sequence(args):
    if args.layout == 0:
        if args.remark is not None:
            raise SystemExit("--remark: a layout-0 sequence has no chunks")
        seq = Layout0(args.model, args.width, args.height, args.frames)
    else:
        seq = Seq(args.layout, args.model, args.width, args.height, args.interval)
        calib = mtpara.preset("camera").bytes() if args.layout == 3 else None
        seq.params(1000, calib)
        if args.remark is not None:
            seq.add(REMARK, 1000, args.remark.encode("utf-8"))
        seq.frames(args.frames)
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    with open(args.output, "wb") as f:
        for part in seq.parts():
            f.write(part)
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
    for kind, specs in (("point", args.point), ("rect", args.rect), ("line", args.line)):
        for spec in specs:
            s.chosen_records = s.chosen_records or {}
            index, _, coords = spec.partition(":")
            values = tuple(int(v, 0) for v in coords.split(","))
            if len(values) != (2 if kind == "point" else 4) or not 0 <= int(index) < (4 if kind == "point" else 3):
                raise SystemExit("--%s: bad record %r" % (kind, spec))
            s.chosen_records[(kind, int(index))] = values
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
    im.add_argument("--point", action="append", default=[], metavar="I:X,Y",
                    help="store point record I (0-3) at X,Y; only chosen records are present")
    im.add_argument("--rect", action="append", default=[], metavar="I:X,Y,W,H",
                    help="store rectangle record I (0-2)")
    im.add_argument("--line", action="append", default=[], metavar="I:X1,Y1,X2,Y2",
                    help="store line record I (0-2)")
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

    sq = sub.add_parser("sequence", help="write one sequence")
    sq.add_argument("--layout", type=int, choices=(0, 1, 2, 3), default=1)
    sq.add_argument("--model", default="VN410K4")
    sq.add_argument("--width", type=int, default=16)
    sq.add_argument("--height", type=int, default=12)
    sq.add_argument("--frames", type=int, default=10)
    sq.add_argument("--interval", type=int, default=40, help="ms between frames (layouts 1-3)")
    sq.add_argument("--remark", metavar="TEXT", help="a remark chunk (UTF-8) after the parameters (layouts 1-3)")
    sq.add_argument("-o", "--output", required=True)
    sq.set_defaults(fn=cmd_sequence)

    fx = sub.add_parser("fixtures", help="write the test fixtures into DIR")
    fx.add_argument("dir")
    fx.add_argument("--large", metavar="DIR2", help="also write the large fixtures into DIR2")
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
