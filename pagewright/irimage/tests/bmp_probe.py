"""Reads a BMP file with PIL and prints its width, height and row stride (the
file's pixel bytes per row, from its size and header), one line each."""
import struct
import sys

from PIL import Image


def main():
    path = sys.argv[1]
    with Image.open(path) as im:
        im.load()
        width, height = im.size
        mode = im.mode
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    stride = (len(data) - offset) // height
    print(width)
    print(height)
    print(stride)
    print(mode)
    return 0


if __name__ == "__main__":
    sys.exit(main())
