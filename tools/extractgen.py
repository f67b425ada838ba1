#!/usr/bin/env python3
"""Writes the camera files the tests of Thermcore's extracts read: still
images with each sound coding and photo form, and sequences of every chunk
layout carrying sound, photo and remark chunks. Built with vnigen's writers
(from the byte layouts alone).

    extractgen.py DIR     write the files into DIR
    extractgen.py list    names and descriptions
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import vnigen  # noqa: E402
from vnigen import PHOTO, REMARK, SOUND, Seq, Still, container  # noqa: E402


def lcg_bytes(n, seed=12345):
    out = bytearray()
    x = seed
    for _ in range(n):
        x = (x * 1103515245 + 12345) & 0x7FFFFFFF
        out.append((x >> 16) & 0xFF)
    return bytes(out)


def adpcm_note(n=1000):
    """Runs of the largest steps up (0x77) and down (0xFF) drive the decoder
    into both clamps of its step index and of its predictor; the rest is
    noise."""
    head = b"\x77" * 150 + b"\xff" * 200 + b"\x00" * 20
    return (head + lcg_bytes(n))[:n]


def wav_file(samples=101):
    """A complete 8 kHz, 8-bit mono WAV file."""
    data = bytes((i * 5) & 0xFF for i in range(samples))
    fmt = struct.pack("<HHIIHH", 1, 1, 8000, 8000, 1, 8)
    return (b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE" + b"fmt " +
            struct.pack("<I", 16) + fmt + b"data" + struct.pack("<I", len(data)) + data)


def still(coding=1, sound=b"", width=16, height=12, model="VN410K4"):
    s = Still(model, width, height)
    s.sound = sound
    s.sound_coding = coding
    return s


def with_photo(s, width, height, raw=None):
    s.add_photo(width, height, raw)
    return s


# The photo of the sequences: a 24-byte header that starts with 0x55, then
# the photo's bytes.
PHOTO_BYTES = bytes((i * 3 + 1) & 0xFF for i in range(40))
PHOTO_CHUNK = b"\x55" + bytes(range(1, 24)) + PHOTO_BYTES

# Remark chunks: "温度" and the first two bytes of "计"; its last byte, "ok", a
# byte that is not UTF-8, a character GBK lacks, "。", NUL and bytes that are
# not text; "尾" and a lone lead byte, then NUL.
REMARK_CHUNKS = (
    "温度".encode() + "计".encode()[:2],
    "计".encode()[2:] + b"ok\xff" + "\U0001F600。".encode() + b"\0junk\xfe",
    "尾".encode() + b"\xe5\0",
)
SPLIT_WAV = wav_file()


def parts_seq(layout, model="VN410K4", calib=None):
    """Frames with sound (a WAV file in two chunks), photo and remark chunks
    between them."""
    s = Seq(layout, model).params(1000, calib).frame(1000, 0)
    s.add(SOUND, 1000, SPLIT_WAV[:30]).frame(1040, 1).add(SOUND, 1040, SPLIT_WAV[30:])
    s.add(PHOTO, 1080, PHOTO_CHUNK)
    for text in REMARK_CHUNKS:
        s.add(REMARK, 1080, text)
    return s.frame(1080, 2)


def late_gray():
    """The first gray chunk beyond the first 614400 bytes."""
    return Seq(1).params(1000).add(SOUND, 1000, bytes(700000)).frames(2)


FIXTURES = {
    "x_pcm.vni": ("PCM sound (coding 0), 101 bytes, 16 x 12", lambda: still(0, lcg_bytes(101))),
    "x_pcm_320.vni": ("PCM sound (coding 0), 200 bytes, 320 x 240",
                      lambda: still(0, lcg_bytes(200), 320, 240)),
    "x_adpcm.vni": ("IMA ADPCM sound (coding 1), 1000 bytes reaching both clamps",
                    lambda: still(1, adpcm_note())),
    "x_raw.vni": ("raw sound (coding 4), 300 bytes", lambda: still(4, lcg_bytes(300))),
    "x_raw_riff.vni": ("raw sound (coding 4) that is a WAV file", lambda: still(4, wav_file())),
    "x_coding2.vni": ("sound of coding 2, 50 bytes", lambda: still(2, lcg_bytes(50))),
    "x_photo322.vni": ("raw photo 322 x 5", lambda: with_photo(still(), 322, 5)),
    "x_photo_jpeg.vni": ("VN410K10 with a JPEG photo (16 x 8)",
                         lambda: with_photo(Still("VN410K10"), 16, 8, vnigen.TINY_JPEG)),
    "x_photo_huge_frame.vni": ("VN410K10 whose JPEG photo (4 KB) claims 65535 x 65535 pixels",
                               vnigen.huge_frame_photo),
    "x_w15.vni": ("15 x 7 image with a raw 15 x 7 photo",
                  lambda: with_photo(still(width=15, height=7), 15, 7)),
    "x_seq_l1.vnv": ("layout 1: sound chunks holding a WAV file, a 0x55 photo chunk, "
                     "remark chunks with cut, broken and foreign characters", lambda: parts_seq(1)),
    "x_seq_l2.vnv": ("the same in layout 2", lambda: parts_seq(2)),
    "x_seq_l3.vnv": ("the same in layout 3 (VN410K8)",
                     lambda: parts_seq(3, "VN410K8", vnigen.mtpara.preset("camera").bytes())),
    "x_jpg_seq.jpg": ("JPEG container holding x_seq_l1", lambda: container(parts_seq(1).bytes(), True)),
    "x_late_gray.vnv": ("layout 1 whose first gray chunk lies beyond 614400 bytes", late_gray),
    "x_jpg_late_gray.jpg": ("JPEG container holding x_late_gray",
                            lambda: container(late_gray().bytes(), True)),
}


def main(argv):
    if len(argv) != 2:
        raise SystemExit(__doc__)
    if argv[1] == "list":
        for name, (desc, _) in FIXTURES.items():
            print("%-22s %s" % (name, desc))
        return 0
    for name, (_, make) in FIXTURES.items():
        made = make()
        vnigen.write(os.path.join(argv[1], name),
                     made if isinstance(made, (bytes, bytearray)) else made.bytes())
    vnigen.write(os.path.join(argv[1], "remark.utf8"), vnigen.REMARK_TEXT)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
