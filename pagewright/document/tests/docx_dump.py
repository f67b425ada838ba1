#!/usr/bin/env python3
"""Reads an exported word-processor document with the standard library alone
(zipfile and ElementTree) and prints what it holds as JSON: the page size and
margins, and per page (a body paragraph) every floating object with its place
in points from the margin corner, its line, fill, arrow ends, text runs and
tables. With --python-docx the file is opened with python-docx first."""
import json
import sys
import zipfile
import xml.etree.ElementTree as ET

NS = {
    "w": "http://schemas.openxmlformats.org/wordprocessingml/2006/main",
    "wp": "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing",
    "a": "http://schemas.openxmlformats.org/drawingml/2006/main",
    "pic": "http://schemas.openxmlformats.org/drawingml/2006/picture",
    "wps": "http://schemas.microsoft.com/office/word/2010/wordprocessingShape",
    "r": "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
}
W = "{%s}" % NS["w"]
EMU = 12700.0


def attr(el, name):
    if el is None:
        return None
    return el.get(W + name)


def on(rpr, tag):
    el = rpr.find("w:" + tag, NS) if rpr is not None else None
    return el is not None and attr(el, "val") not in ("0", "false", "none")


def runs_of(paragraph):
    out = []
    for r in paragraph.findall("w:r", NS):
        if r.find("w:drawing", NS) is not None:
            continue
        rpr = r.find("w:rPr", NS)
        fonts = rpr.find("w:rFonts", NS) if rpr is not None else None
        text = ""
        for child in r:
            if child.tag == W + "t":
                text += child.text or ""
            elif child.tag == W + "br":
                text += "\n"
            elif child.tag == W + "tab":
                text += "\t"
        sz = rpr.find("w:sz", NS) if rpr is not None else None
        color = rpr.find("w:color", NS) if rpr is not None else None
        out.append({
            "font": attr(fonts, "ascii"),
            "eastAsia": attr(fonts, "eastAsia"),
            "sz": int(attr(sz, "val")) if sz is not None else None,
            "color": attr(color, "val"),
            "b": on(rpr, "b"), "i": on(rpr, "i"), "u": on(rpr, "u"),
            "text": text,
        })
    return out


def paragraph(p):
    jc = p.find("w:pPr/w:jc", NS)
    return {"jc": attr(jc, "val"), "runs": runs_of(p)}


def table(tbl):
    borders = {}
    for b in tbl.find("w:tblPr/w:tblBorders", NS) or []:
        borders[b.tag[len(W):]] = {"val": attr(b, "val"), "sz": attr(b, "sz"), "color": attr(b, "color")}
    ind = tbl.find("w:tblPr/w:tblInd", NS)
    margins = {}
    for m in tbl.find("w:tblPr/w:tblCellMar", NS) or []:
        margins[m.tag[len(W):]] = int(attr(m, "w")) / 20.0
    rows = []
    for tr in tbl.findall("w:tr", NS):
        h = tr.find("w:trPr/w:trHeight", NS)
        cells = []
        for tc in tr.findall("w:tc", NS):
            shd = tc.find("w:tcPr/w:shd", NS)
            cells.append({"fill": attr(shd, "fill"), "paragraphs": [paragraph(p) for p in tc.findall("w:p", NS)]})
        rows.append({"height": int(attr(h, "val")) / 20.0, "rule": attr(h, "hRule"), "cells": cells})
    return {
        "indent": int(attr(ind, "w")) / 20.0 if ind is not None else 0,
        "columns": [int(attr(g, "w")) / 20.0 for g in tbl.findall("w:tblGrid/w:gridCol", NS)],
        "borders": borders,
        "cellMargins": margins,
        "rows": rows,
    }


def line_of(sppr):
    ln = sppr.find("a:ln", NS)
    if ln is None or ln.find("a:noFill", NS) is not None:
        return None
    clr = ln.find("a:solidFill/a:srgbClr", NS)
    ends = {}
    for tag in ("headEnd", "tailEnd"):
        e = ln.find("a:" + tag, NS)
        if e is not None:
            ends[tag] = [e.get("type"), e.get("len"), e.get("w")]
    return {"weight": int(ln.get("w", "0")) / EMU, "color": clr.get("val") if clr is not None else None, "ends": ends}


def anchor(a, rels, media):
    off_h = int(a.find("wp:positionH/wp:posOffset", NS).text)
    off_v = int(a.find("wp:positionV/wp:posOffset", NS).text)
    ext = a.find("wp:extent", NS)
    wsp = a.find("a:graphic/a:graphicData/wps:wsp", NS)
    sppr = wsp.find("wps:spPr", NS)
    geom = sppr.find("a:prstGeom", NS).get("prst")
    xfrm = sppr.find("a:xfrm", NS)
    fill = sppr.find("a:solidFill/a:srgbClr", NS)
    item = {
        "relativeFrom": [a.find("wp:positionH", NS).get("relativeFrom"), a.find("wp:positionV", NS).get("relativeFrom")],
        "left": off_h / EMU, "top": off_v / EMU,
        "width": int(ext.get("cx")) / EMU, "height": int(ext.get("cy")) / EMU,
        "z": int(a.get("relativeHeight")),
        "geometry": geom,
        "flipH": xfrm.get("flipH") == "1", "flipV": xfrm.get("flipV") == "1",
        "line": line_of(sppr),
        "fill": fill.get("val") if fill is not None else None,
        "textbox": wsp.find("wps:txbx", NS) is not None,
    }
    content = wsp.find("wps:txbx/w:txbxContent", NS)
    if content is not None:
        body = wsp.find("wps:bodyPr", NS)
        item["insets"] = [body.get(k) for k in ("lIns", "tIns", "rIns", "bIns")]
        item["grows"] = body.find("a:spAutoFit", NS) is not None
        item["paragraphs"] = [paragraph(p) for p in content.findall("w:p", NS)]
        item["tables"] = [table(t) for t in content.findall("w:tbl", NS)]
        pics = []
        for blip in content.iter("{%s}blip" % NS["a"]):
            target = rels[blip.get("{%s}embed" % NS["r"])]
            data = media["word/" + target]
            pics.append({"png": data[:8] == b"\x89PNG\r\n\x1a\n", "bytes": len(data)})
        item["pictures"] = pics
    return item


def main():
    path = sys.argv[1]
    if "--python-docx" in sys.argv[2:]:
        import docx  # an independent reader must open it
        d = docx.Document(path)
        _ = [p.text for p in d.paragraphs]
    with zipfile.ZipFile(path) as z:
        names = z.namelist()
        root = ET.fromstring(z.read("word/document.xml"))
        rels_root = ET.fromstring(z.read("word/_rels/document.xml.rels"))
        rels = {r.get("Id"): r.get("Target") for r in rels_root}
        media = {n: z.read(n) for n in names if n.startswith("word/media/")}
        content_types = z.read("[Content_Types].xml").decode()
    body = root.find("w:body", NS)
    sect = body.find("w:sectPr", NS)
    pgsz = sect.find("w:pgSz", NS)
    mar = sect.find("w:pgMar", NS)
    pages = []
    for p in body.findall("w:p", NS):
        objects = [anchor(a, rels, media) for a in p.iter("{%s}anchor" % NS["wp"])]
        # Anchors nested in text boxes belong to their box, not the page.
        pages.append({"breakBefore": p.find("w:pPr/w:pageBreakBefore", NS) is not None, "objects": objects})
    print(json.dumps({
        "names": names,
        "contentTypes": content_types,
        "page": [int(attr(pgsz, "w")) / 20.0, int(attr(pgsz, "h")) / 20.0],
        "margins": [int(attr(mar, k)) / 20.0 for k in ("top", "right", "bottom", "left")],
        "pages": pages,
    }, ensure_ascii=False))


main()
