#!/usr/bin/env python3
"""Reads a workbook with openpyxl (a reader independent of the writer) and
prints what a spreadsheet user would see as JSON: per sheet its name, column
widths, pictures and every cell with type, value, number format, font,
borders and fill."""
import json
import sys
import zipfile

import openpyxl


def side(b):
    return b.style if b is not None else None


def main(path):
    wb = openpyxl.load_workbook(path)
    out = {"sheets": [], "media": []}
    with zipfile.ZipFile(path) as z:
        out["media"] = sorted(n for n in z.namelist() if n.startswith("xl/media/"))
    for ws in wb.worksheets:
        sheet = {"name": ws.title, "widths": {}, "cells": {}}
        for letter, dim in ws.column_dimensions.items():
            if dim.width:
                sheet["widths"][letter] = dim.width
        for row in ws.iter_rows():
            for c in row:
                if c.value is None and not c.has_style:
                    continue
                value = c.value
                if hasattr(value, "isoformat"):
                    value = value.date().isoformat()
                fill = c.fill.fgColor.rgb if c.fill and c.fill.fill_type == "solid" else None
                sheet["cells"][c.coordinate] = {
                    "type": c.data_type,
                    "value": value,
                    "format": c.number_format,
                    "font": c.font.name,
                    "size": c.font.sz,
                    "bold": bool(c.font.b),
                    "left": side(c.border.left),
                    "bottom": side(c.border.bottom),
                    "fill": fill if isinstance(fill, str) else None,
                }
        out["sheets"].append(sheet)
    json.dump(out, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1])
