#!/usr/bin/env python3
"""Converts an exported word-processor document to PDF with LibreOffice
(headless, one conversion, a private profile), then reports as JSON the PDF's
page count and page size (pdfinfo), its text (pdftotext), its fonts (pdffonts) and, for
every page rendered by pdftoppm at 144 dpi (gray), the box of its non-white pixels in
points, the points of each listed probe that are dark and the number of dark pixels in
each listed box. The pages stay in OUTDIR to be looked at.

    docx_render_check.py DOCX OUTDIR [x,y ...] [x0,y0,x1,y1 ...]   probes and boxes in points
Exit status 77 when LibreOffice is not installed."""
import json
import os
import re
import shutil
import subprocess
import sys

DPI = 144


def read_pgm(path):
    """The binary gray map pdftoppm -gray writes: width, height, rows."""
    with open(path, "rb") as f:
        data = f.read()
    fields = re.match(rb"P5\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
    width, height = int(fields.group(1)), int(fields.group(2))
    start = fields.end()
    return width, height, [data[start + y * width:start + (y + 1) * width] for y in range(height)]


DARK = re.compile(rb"[\x00-\xc7]")


def main():
    docx, outdir = sys.argv[1], sys.argv[2]
    values = [tuple(float(v) for v in p.split(",")) for p in sys.argv[3:]]
    probes = [v for v in values if len(v) == 2]
    boxes = [v for v in values if len(v) == 4]
    soffice = shutil.which("soffice")
    if soffice is None:
        sys.exit(77)
    import docx as python_docx
    python_docx.Document(docx)
    os.makedirs(outdir, exist_ok=True)
    profile = os.path.join(outdir, "lo-profile")
    subprocess.run([soffice, "-env:UserInstallation=file://" + profile, "--headless", "--convert-to", "pdf",
                    "--outdir", outdir, docx], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=120)
    shutil.rmtree(profile, ignore_errors=True)
    pdf = os.path.join(outdir, os.path.splitext(os.path.basename(docx))[0] + ".pdf")
    info = subprocess.run(["pdfinfo", pdf], check=True, capture_output=True, text=True).stdout
    pages = int(re.search(r"^Pages:\s+(\d+)", info, re.M).group(1))
    size = re.search(r"^Page size:\s+([\d.]+) x ([\d.]+) pts", info, re.M)
    prefix = os.path.join(outdir, "page")
    subprocess.run(["pdftoppm", "-r", str(DPI), "-gray", pdf, prefix], check=True)
    scale = 72.0 / DPI
    text = subprocess.run(["pdftotext", "-layout", pdf, "-"], check=True, capture_output=True).stdout
    fonts = subprocess.run(["pdffonts", pdf], check=True, capture_output=True, text=True).stdout
    result = {"pages": pages, "size": [float(size.group(1)), float(size.group(2))], "rendered": [],
              "text": text.decode("utf-8", "replace"),
              "fonts": [line.split()[0] for line in fonts.splitlines()[2:] if line.strip()]}
    for name in sorted(n for n in os.listdir(outdir) if n.startswith("page") and n.endswith(".pgm")):
        width, height, rows = read_pgm(os.path.join(outdir, name))
        box = None
        for y, row in enumerate(rows):
            first = DARK.search(row)
            if first is None:
                continue
            last = width - 1 - DARK.search(row[::-1]).start()
            l = first.start()
            box = [l, y, last, y] if box is None else [min(box[0], l), box[1], max(box[2], last), y]
        hits = []
        for (px, py) in probes:
            x, y = int(px / scale), int(py / scale)
            hits.append(any(0 <= y + dy < height and 0 <= x + dx < width and rows[y + dy][x + dx] < 200
                            for dy in range(-2, 3) for dx in range(-2, 3)))
        counts = []
        for (x0, y0, x1, y1) in boxes:
            counts.append(sum(1 for row in rows[max(0, int(y0 / scale)):min(height, int(y1 / scale))]
                              for v in row[max(0, int(x0 / scale)):min(width, int(x1 / scale))] if v < 128))
        result["rendered"].append({"file": name, "ink": [v * scale for v in box] if box else None, "probes": hits,
                                   "dark": counts})
    # PNG pages to look at.
    subprocess.run(["pdftoppm", "-r", "72", "-png", pdf, os.path.join(outdir, "look")], check=True)
    print(json.dumps(result))


main()
