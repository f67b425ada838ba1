#!/usr/bin/env python3
"""Writes the kept seeds of the folder walk fuzz target (folder_walk_fuzzer.cpp):
each seed is a folder of camera files made with tools/vnigen.py, as entries
of one byte (bits 0-2: the name, bit 7: a folder), two bytes of length
(little endian) and the content.

    folder_seeds.py DIR
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "..", "tools"))
import vnigen  # noqa: E402
from vnigen import Seq, Still, TINY_JPEG, container  # noqa: E402

# Names of the target: a.VNI b.vni c.VNV d.JPG e.jpg f.txt g.Vnv h.VNI
A, B, C, D, E, F, G, H = range(8)
FOLDER = 0x80


def entry(name, content=b""):
    return struct.pack("<BH", name, len(content)) + content


SEEDS = {
    "still-and-sequence": entry(A, Still().bytes()) + entry(C, Seq(1).params(1000).frames(3).bytes()),
    "photos-and-sound": entry(A, Still("VN410K10").add_photo(16, 8, TINY_JPEG).bytes())
    + entry(B, Still().add_photo(20, 6).add_sound(400, 1).bytes()),
    "huge-frame-photo": entry(H, vnigen.huge_frame_photo().bytes()),
    "containers": entry(D, container(Still().bytes(), False)) + entry(E, TINY_JPEG)
    + entry(F, b"not a camera file\n"),
    "cut-and-folder": entry(A, Still().bytes()[:300]) + entry(FOLDER | B) + entry(G, Seq(2).frames(2).bytes()[:900])
    + entry(H, Still("VN410K8").bytes()),
}


def main(argv):
    if len(argv) != 2:
        raise SystemExit(__doc__)
    os.makedirs(argv[1], exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(argv[1], name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
