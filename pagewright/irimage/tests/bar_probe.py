"""Checks the colour bar of a page picture against a palette file, read
independently with PIL: every row of the bar's inner column is an entry of
the palette, the entries climb (or fall, inverted) from the bar's foot to its
head, and they span the whole palette.

usage: bar_probe.py PNG PALETTE_BMP X Y_FOOT Y_HEAD normal|inverted
(device pixels; Y_FOOT is the lowest bar row on paper, the larger y)."""
import sys

from PIL import Image


def main():
    png, palette_bmp, x, y_foot, y_head, order = sys.argv[1:7]
    x, y_foot, y_head = int(x), int(y_foot), int(y_head)
    palette = Image.open(palette_bmp).convert("RGB")
    # The palette is the picture's first stored row: the bottom row.
    entries = [palette.getpixel((i, palette.height - 1)) for i in range(256)]
    index_of = {}
    for i, c in enumerate(entries):
        index_of.setdefault(c, i)
    page = Image.open(png).convert("RGB")
    indices = []
    for y in range(y_foot, y_head - 1, -1):
        c = page.getpixel((x, y))
        if c not in index_of:
            print(f"row {y}: {c} is not a palette entry")
            return 1
        indices.append(index_of[c])
    if order == "inverted":
        indices = [255 - i for i in indices]
    for a, b in zip(indices, indices[1:]):
        if b < a and entries[255 - b if order == "inverted" else b] != entries[255 - a if order == "inverted" else a]:
            print(f"palette order broken: {a} then {b}")
            return 1
    if indices[0] > 8 or indices[-1] < 247:
        print(f"the bar spans {indices[0]}..{indices[-1]}, not the whole palette")
        return 1
    print(f"{len(indices)} rows, indices {indices[0]}..{indices[-1]}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
