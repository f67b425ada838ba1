#!/usr/bin/env python3
"""Prints the size of a BMP file and the colours at given points, read with
an image library independent of the program: "W H" then "x,y R G B" lines.

usage: bmp_probe.py FILE X,Y [X,Y ...]
"""
import sys

from PIL import Image


def main(argv):
    with Image.open(argv[1]) as image:
        if image.format != "BMP":
            print("not a BMP file: %s" % image.format)
            return 1
        rgb = image.convert("RGB")
        print("%d %d" % rgb.size)
        for point in argv[2:]:
            x, y = (int(v) for v in point.split(","))
            r, g, b = rgb.getpixel((x, y))
            print("%d,%d %d %d %d" % (x, y, r, g, b))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
