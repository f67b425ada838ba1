#!/usr/bin/env python3
"""Reads a workbook with openpyxl, independently of the writer, and prints
as JSON the sheet names in order and, per sheet, every non-empty cell:
coordinate -> [value, number format].

    xlsx_cells.py BOOK.xlsx
"""
import json
import sys

import openpyxl


def main():
    book = openpyxl.load_workbook(sys.argv[1])
    out = {"sheets": book.sheetnames, "cells": {}}
    for sheet in book.worksheets:
        cells = {}
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is not None:
                    cells[cell.coordinate] = [cell.value, cell.number_format]
        out["cells"][sheet.title] = cells
    json.dump(out, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
