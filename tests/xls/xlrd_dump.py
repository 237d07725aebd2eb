# Prints what xlrd reads of a workbook, one line per sheet, merged range and
# cell, then xlrd's own log (warnings) as "log ..." lines.
#   xlrd_dump.py <file.xls> full|last
import io
import sys

import xlrd

path, mode = sys.argv[1], sys.argv[2]
log = io.StringIO()
book = xlrd.open_workbook(path, formatting_info=True, logfile=log)
out = []
for sheet in book.sheets():
    out.append("sheet %s %d %d" % (sheet.name, sheet.nrows, sheet.ncols))
    for rlo, rhi, clo, chi in sheet.merged_cells:
        out.append("merged %d %d %d %d" % (rlo, rhi, clo, chi))
    rows = range(sheet.nrows) if mode == "full" else range(max(0, sheet.nrows - 1), sheet.nrows)
    for r in rows:
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            xf = book.xf_list[cell.xf_index]
            font = book.font_list[xf.font_index]
            value = cell.value
            text = repr(value) if cell.ctype != xlrd.XL_CELL_TEXT else "'" + value + "'"
            out.append("cell %d %d %d %s weight=%d color=%d fill=%d pattern=%d" % (
                r, c, cell.ctype, text, font.weight, font.colour_index,
                xf.background.fill_pattern, xf.background.pattern_colour_index))
for line in log.getvalue().splitlines():
    out.append("log " + line)
sys.stdout.write("\n".join(out) + "\n")
