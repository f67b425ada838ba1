#!/usr/bin/env python3
"""Reads exported word-processor documents with python-docx and, when
LibreOffice is installed, converts them all to PDF in one headless run.

    docx_contents.py OUTDIR DOCX...

Prints JSON: per document, per page (a body paragraph; the next page starts
at a paragraph with a page break before it) the tables found in its floating
text boxes (every cell's text, fill and whether all its runs are bold), the
text of the boxes holding no table, the number of pictures and the SHA-1 of
each picture's stored bytes; then, under
"pdf", per document the page count (pdfinfo) and the text (pdftotext -layout)
of LibreOffice's PDF, or null with "office" saying why it was not made.
Exit status 77 when python-docx is missing. The PDFs stay in OUTDIR."""
import hashlib
import json
import os
import shutil
import subprocess
import sys

try:
    import docx
    from docx.oxml.ns import qn
    from docx.table import Table
    from docx.text.paragraph import Paragraph
except ImportError:
    print("python-docx is not installed", file=sys.stderr)
    sys.exit(77)


def cell_of(cell):
    shd = cell._tc.find(qn("w:tcPr") + "/" + qn("w:shd"))
    runs = [r for p in cell.paragraphs for r in p.runs if r.text]
    return {
        "text": cell.text,
        "fill": shd.get(qn("w:fill")) if shd is not None else None,
        "bold": bool(runs) and all(r.bold for r in runs),
    }


def box_of(content, parent):
    tables = [[[cell_of(c) for c in row.cells] for row in Table(t, parent).rows]
              for t in content.iter(qn("w:tbl"))]
    text = "\n".join(Paragraph(p, parent).text for p in content.findall(qn("w:p")))
    blips = list(content.iter("{http://schemas.openxmlformats.org/drawingml/2006/main}blip"))
    sums = [hashlib.sha1(parent.part.related_parts[b.get(qn("r:embed"))].blob).hexdigest() for b in blips]
    return tables, text, sums


def read(path):
    document = docx.Document(path)
    body = document.element.body
    pages = []
    for p in body.findall(qn("w:p")):
        if not pages or p.find(qn("w:pPr") + "/" + qn("w:pageBreakBefore")) is not None:
            pages.append({"tables": [], "texts": [], "pictures": 0, "pictureSums": []})
        page = pages[-1]
        for content in p.iter(qn("w:txbxContent")):
            tables, text, sums = box_of(content, document)
            page["tables"] += tables
            page["pictures"] += len(sums)
            page["pictureSums"] += sums
            if not tables and not sums:
                page["texts"].append(text)
    return {"pages": pages}


def convert(outdir, files):
    soffice = shutil.which("soffice")
    if soffice is None:
        return None, "LibreOffice (soffice) is not installed"
    for tool in ("pdfinfo", "pdftotext"):
        if shutil.which(tool) is None:
            return None, tool + " (poppler-utils) is not installed"
    profile = os.path.join(outdir, "lo-profile")
    # One start of LibreOffice for every file; a profile of its own, so that
    # runs in parallel do not share one.
    subprocess.run([soffice, "-env:UserInstallation=file://" + profile, "--headless", "--convert-to", "pdf",
                    "--outdir", outdir] + files, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=300, env=dict(os.environ, HOME=outdir))
    shutil.rmtree(profile, ignore_errors=True)
    out = []
    for f in files:
        pdf = os.path.join(outdir, os.path.splitext(os.path.basename(f))[0] + ".pdf")
        if not os.path.exists(pdf):
            out.append(None)
            continue
        info = subprocess.run(["pdfinfo", pdf], check=True, capture_output=True, text=True).stdout
        pages = next(int(line.split()[1]) for line in info.splitlines() if line.startswith("Pages:"))
        text = subprocess.run(["pdftotext", "-layout", pdf, "-"], check=True, capture_output=True).stdout
        out.append({"pages": pages, "text": text.decode("utf-8", "replace")})
    return out, None


def main():
    outdir, files = sys.argv[1], sys.argv[2:]
    os.makedirs(outdir, exist_ok=True)
    result = {"documents": [read(f) for f in files]}
    result["pdf"], result["office"] = convert(outdir, files)
    print(json.dumps(result, ensure_ascii=False))


main()
