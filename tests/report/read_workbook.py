#!/usr/bin/python3
"""Reads a workbook with openpyxl and prints what the tests check, as JSON on one line:

{"sheets": [names in order],
 "<sheet>": {"freeze": "C4", "filter": "A3:BM9",
             "cells": {"B4": {"v": 4.3, "t": "n", "fmt": "0.0", "bold": false,
                              "color": "FFFF0000", "fill": "FFD9D9D9", "link": "'X'!A1"}}}}

Strings are decoded as a spreadsheet program reads them: "_xHHHH_" stands for the character
HHHH, in one pass from the left, so "_x005F_x0041_" is "_x0041_". openpyxl decodes only
"_x005F_", and before the other escapes, which would turn "_x005F_x0041_" into "A"; its
string table is therefore read here without that step.
"""
import json
import re
import sys

import openpyxl
import openpyxl.reader.excel
from openpyxl.cell.text import Text
from openpyxl.xml.constants import SHEET_MAIN_NS
from openpyxl.xml.functions import iterparse

ESCAPE = re.compile(r"_x([0-9A-Fa-f]{4})_")


def text(value):
    return ESCAPE.sub(lambda m: chr(int(m.group(1), 16)), value)


def raw_string_table(source):
    strings = []
    for _, node in iterparse(source):
        if node.tag == "{%s}si" % SHEET_MAIN_NS:
            strings.append(Text.from_tree(node).content)
            node.clear()
    return strings


def rgb(color):
    if color is None or color.type != "rgb":
        return None
    return color.rgb


def cell_entry(cell):
    entry = {"v": text(cell.value) if isinstance(cell.value, str) else cell.value,
             "t": cell.data_type, "fmt": cell.number_format, "bold": bool(cell.font.b)}
    if rgb(cell.font.color):
        entry["color"] = rgb(cell.font.color)
    if cell.fill is not None and cell.fill.fill_type == "solid":
        entry["fill"] = rgb(cell.fill.fgColor)
    if cell.hyperlink is not None:
        entry["link"] = cell.hyperlink.location
    return entry


def main():
    openpyxl.reader.excel.read_string_table = raw_string_table
    book = openpyxl.load_workbook(sys.argv[1])
    out = {"sheets": book.sheetnames}
    for sheet in book.worksheets:
        cells = {}
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is not None:
                    cells[cell.coordinate] = cell_entry(cell)
        out[sheet.title] = {"freeze": sheet.freeze_panes, "filter": sheet.auto_filter.ref,
                            "cells": cells}
    json.dump(out, sys.stdout, ensure_ascii=False)


main()
