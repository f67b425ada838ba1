#!/usr/bin/env python3
"""Reads a workbook with openpyxl, independently of the writer, and prints
its sheets as JSON: the sheet names in order, every non-empty cell of each
sheet (coordinate -> value, all values text) and the merged ranges.

    xlsx_probe.py BOOK.xlsx
"""
import json
import sys

import openpyxl


def main():
    book = openpyxl.load_workbook(sys.argv[1])
    out = {"sheets": book.sheetnames, "cells": {}, "merged": {}}
    for sheet in book.worksheets:
        cells = {}
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is not None:
                    if not isinstance(cell.value, str):
                        raise SystemExit("cell %s holds %r, not text" % (cell.coordinate, cell.value))
                    cells[cell.coordinate] = cell.value
        out["cells"][sheet.title] = cells
        out["merged"][sheet.title] = sorted(str(r) for r in sheet.merged_cells.ranges)
    json.dump(out, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
