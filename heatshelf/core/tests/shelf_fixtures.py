#!/usr/bin/env python3
"""Camera files for the tests of the browser's core, made with vnigen.

    shelf_fixtures.py DIR

DIR/walk/          a.VNI, b.jpg (a JPEG without infrared payload), c.vnv,
                   D.JPG (with a payload), e.txt, f.VNI (cut short) and a
                   folder sub.VNI
DIR/records.vni    640 x 4: points 1, 3, 4 (the first at 301, 125), lines
                   in records 2 and 3, rectangle 2
DIR/records_zero.vni  the same, point 1 with emissivity and distance 0
DIR/photo_k10.vni  VN410K10 with a JPEG photo (16 x 8)
DIR/photo_raw.vni  a raw photo 318 x 6
DIR/photo_huge_frame.vni  VN410K10 whose JPEG photo claims 65535 x 65535
DIR/sound.vni      an IMA ADPCM voice note
DIR/seq3.vnv       a sequence of three frames (layout 1)
DIR/k11.vni        VN410K11 with its board rectangle
DIR/k3.vni         VN410K3 (scheme 1: no last device value)
DIR/big.vni        640 x 480
DIR/shot.vni       640 x 480 warm spot with records and a raw photo
DIR/blob640.vni    640 x 480 warm spot, point 1 stored on its hottest pixel
DIR/blob320.vni    320 x 240 warm spot, point 1 stored at twice its hottest
                   pixel (records refer to a 640-wide image)
DIR/edge_lines.vni 640 x 480 warm spot, line 1 ending at the right edge,
                   line 2 at the bottom edge
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "tools"))
import vnigen  # noqa: E402
from vnigen import Still, Seq, container, write, TINY_JPEG  # noqa: E402


def hottest(w, h):
    """The first pixel of the warm spot's greatest gray."""
    best = None
    for y in range(h):
        for x in range(w):
            g = vnigen.gray_blob(x, y, w, h)
            if best is None or g > best[0]:
                best = (g, x, y)
    return best[1], best[2]


def main(argv):
    if len(argv) != 2:
        raise SystemExit(__doc__)
    out = argv[1]
    walk = os.path.join(out, "walk")
    write(os.path.join(walk, "a.VNI"), Still().bytes())
    write(os.path.join(walk, "b.jpg"), TINY_JPEG)
    write(os.path.join(walk, "c.vnv"), Seq(1).params(1000).frames(3).bytes())
    write(os.path.join(walk, "D.JPG"), container(Still().bytes(), False))
    write(os.path.join(walk, "e.txt"), b"not a camera file\n")
    write(os.path.join(walk, "f.VNI"), Still().bytes()[:300])
    os.makedirs(os.path.join(walk, "sub.VNI"), exist_ok=True)

    rec = Still("VN410K4", 640, 4)
    rec.chosen_records = {("point", 0): (301, 125), ("point", 2): (20, 30), ("point", 3): (-5, 7),
                          ("line", 1): (10, 20, 600, 440), ("line", 2): (0, 0, 7, 9),
                          ("rect", 1): (100, 50, 33, 21)}
    write(os.path.join(out, "records.vni"), rec.bytes())
    # The same with point 1's emissivity and distance stored as 0.
    zero = bytearray(rec.bytes())
    zero[48 + 12:48 + 20] = bytes(8)
    write(os.path.join(out, "records_zero.vni"), bytes(zero))

    write(os.path.join(out, "photo_k10.vni"), Still("VN410K10").add_photo(16, 8, TINY_JPEG).bytes())
    write(os.path.join(out, "photo_raw.vni"), Still().add_photo(318, 6).bytes())
    write(os.path.join(out, "photo_huge_frame.vni"), vnigen.huge_frame_photo().bytes())
    write(os.path.join(out, "sound.vni"), Still().add_sound(1000, 1).bytes())
    write(os.path.join(out, "seq3.vnv"), Seq(1).params(1000).frames(3).bytes())
    write(os.path.join(out, "k11.vni"), Still("VN410K11", 320, 240).bytes())
    write(os.path.join(out, "k3.vni"), Still("VN410K3").bytes())
    write(os.path.join(out, "big.vni"), vnigen._with(Still("VN410K4", 640, 480), pattern="blob").bytes())
    shot = vnigen._with(Still("VN410K4", 640, 480), pattern="blob").add_photo()
    shot.with_records = True
    write(os.path.join(out, "shot.vni"), shot.bytes())
    for w, h, scale in ((640, 480, 1), (320, 240, 2)):
        x, y = hottest(w, h)
        blob = vnigen._with(Still("VN410K4", w, h), pattern="blob")
        blob.chosen_records = {("point", 0): (x * scale, y * scale)}
        write(os.path.join(out, "blob%d.vni" % w), blob.bytes())
    edge = vnigen._with(Still("VN410K4", 640, 480), pattern="blob")
    edge.chosen_records = {("line", 0): (0, 100, 639, 100), ("line", 1): (100, 0, 100, 479)}
    write(os.path.join(out, "edge_lines.vni"), edge.bytes())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
