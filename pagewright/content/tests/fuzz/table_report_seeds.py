#!/usr/bin/env python3
"""Seed reports holding tables and result tables for the Contents fuzz
target, built from the golden records (golden_records.py).

    table_report_seeds.py OUTDIR   (the kept seeds: report_corpus/)
"""
import os
import struct
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import golden_records  # noqa: E402


def contents(objects, pages=1):
    """A Contents archive of version 6.0 with the objects (class name,
    record) on page 0; class references as the archive writes them."""
    out = struct.pack("<IfIiiII", pages, 6.0, 0xFFFFFF, 8330, 11790, 0, 1)
    out += struct.pack("<H", len(objects))
    index = 1
    classes = {}
    for name, record in objects:
        if name in classes:
            out += struct.pack("<H", 0x8000 | classes[name])
        else:
            out += struct.pack("<HHH", 0xFFFF, 0, len(name)) + name
            classes[name] = index
            index += 1
        out += record
        index += 1  # the object's own entry
    out += struct.pack("<H", pages)
    for p in range(pages):
        out += b"Report1".ljust(41, b"\0")
    return out


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        sys.argv = ["golden_records.py", tmp]
        golden_records.main()
        table = open(os.path.join(tmp, "table.bin"), "rb").read()
        result = open(os.path.join(tmp, "result_table.bin"), "rb").read()
    # In a report the table's class and the table itself take indexes 1 and
    # 2, so its cells' class references move up by two.
    assert table.count(struct.pack("<H", 0x8001)) == 1 and table.count(struct.pack("<H", 0x8003)) == 1
    renumbered = table.replace(struct.pack("<H", 0x8003), struct.pack("<H", 0x8005)).replace(
        struct.pack("<H", 0x8001), struct.pack("<H", 0x8003))
    with open(os.path.join(out, "table-and-result-table"), "wb") as f:
        f.write(contents([(b"CDrawTable", renumbered), (b"CDrawResultTable", result)]))
    # A table without rows (its list empty) and a result table without fields.
    head = table[:56 + 14]
    empty = head + struct.pack("<II", 0, 2) + struct.pack("<Hf", 990, 0.5) * 2 + struct.pack("<H", 0)
    no_fields = result[:56 + 14 + 4 + 4] + struct.pack("<I", 0) + result[56 + 14 + 4 + 4 + 4 + 8:]
    with open(os.path.join(out, "empty-table"), "wb") as f:
        f.write(contents([(b"CDrawTable", empty), (b"CDrawResultTable", no_fields)]))


if __name__ == "__main__":
    main()
