"""Reference for a skinned toolbar's disabled and hot image strips.

Usage: toolbar_images_ref.py STRIP.png DISABLED.png HOT.png

The strip's pixel (0, 0) is the see-through colour. Disabled: every drawn
pixel as a light grey shadow one pixel down and right, then the drawn pixels
in grey: 128 + g // 2 with g = (R + B) * 0.2 + G * 0.4, truncated (black
becomes mid grey). Hot: drawn pixels brightened,
R and B + 15 (255 above 240), G + 55 (255 from 201).
"""
import sys

from PIL import Image


def main(src_path, disabled_path, hot_path):
    src = Image.open(src_path).convert("RGB")
    w, h = src.size
    px = src.load()
    see = px[0, 0]

    disabled = Image.new("RGB", (w, h), see)
    d = disabled.load()
    for y in range(h - 1):
        for x in range(w - 1):
            if px[x, y] != see:
                d[x + 1, y + 1] = (200, 200, 200)
    for y in range(h):
        for x in range(w):
            r, g, b = px[x, y]
            if (r, g, b) != see:
                grey = 128 + int((r + b) * 0.2 + g * 0.4) // 2
                d[x, y] = (grey, grey, grey)

    hot = Image.new("RGB", (w, h), see)
    o = hot.load()
    for y in range(h):
        for x in range(w):
            r, g, b = px[x, y]
            if (r, g, b) != see:
                o[x, y] = (255 if r > 240 else r + 15, 255 if g >= 201 else g + 55, 255 if b > 240 else b + 15)

    disabled.save(disabled_path)
    hot.save(hot_path)


if __name__ == "__main__":
    main(*sys.argv[1:4])
