#!/usr/bin/env python3
"""Writes the seed corpus of the PDF library's fuzz targets (corpus/<target>).

Run from anywhere: python3 fuzz/pdflib/make_corpus.py. The option lists are
those that the chart pages send, the bitmaps one of each depth and layout."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def out(target, name, data):
    d = os.path.join(HERE, "corpus", target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("latin-1"))


LISTS = [
    "",
    "masterpassword=master userpassword=user permissions={noprint nomodify nocopy }",
    "masterpassword=master permissions={nocopy }",
    "width=595.000000 height=842.000000",
    "rotate=90",
    "pagenumber 3",
    "boxsize={565 760} position={center} fitmethod=meet",
    "boxsize={525 720} fitmethod=meet orientate=west",
    "boxsize={300 200} position={center} orientate=west",
    "fontname=Arial fontsize=10 encoding=cp1251 alignment=justify fillcolor={rgb 0.00 0.50 1.00}",
    "verticalalign=justify linespreadlimit=120%",
    "fontname=Arial fontsize=9 encoding=winansi fillcolor={rgb 0 0 0.7} charref underline=true alignment=center",
    "fontname= fontsize=9 encoding=winansi fillcolor={rgb 0.100000 0.200000 0.300000} charref underline=false alignment=justify",
    "charref fontname=Times-Roman encoding=winansi fontsize=10 ",
    "fittextline={position=center font=0 fontsize=10} colspan=1",
    "colwidth=7% fittextline={font=0 fontsize=10}",
    "marginleft=2 marginright=2 margintop=2 marginbottom=2 textflow=4",
    "colwidth=47% fittextline={font=0 fontsize=10} matchbox={fillcolor={rgb 0.5 0.3 1.0}}",
    "image=2 fitimage={position=center}",
    "header=1 stroke={{line=other}}",
    "name={a \\{b\\} c\\\\d} flag true",
    "12(<fillcolor={rgb 0.100 0.200 0.300}>Black<fillcolor={rgb 0 0 0}>) &lt;&#65;&#x42;&amp;&#1046;",
]
for i, text in enumerate(LISTS):
    out("optlist", "list%02d.txt" % i, text)


def stride(w, bpp):
    return ((w * bpp + 31) // 32) * 4


def bmp(w, h, bpp, palette=b"", compression=0, masks=b"", header=40, top_down=False):
    rows = bytes((i * 37) & 0xFF for i in range(stride(w, bpp) * h))
    if header == 12:
        info = struct.pack("<IHHHH", 12, w, h, 1, bpp)
    else:
        info = struct.pack("<IiiHHIIiiII", header, w, -h if top_down else h, 1, bpp, compression, len(rows),
                           2835, 2835, len(palette) // 4, 0)
        info += b"\0" * (header - 40)
    offset = 14 + len(info) + len(masks) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + info + masks + palette + rows


gray16 = b"".join(struct.pack("<BBBB", i * 17, i * 17, i * 17, 0) for i in range(16))
gray256 = b"".join(struct.pack("<BBBB", i, i, i, 0) for i in range(256))
out("bmp", "1bit.bmp", bmp(9, 3, 1, b"\0\0\0\0\xff\xff\xff\0"))
out("bmp", "4bit.bmp", bmp(5, 4, 4, gray16))
out("bmp", "8bit.bmp", bmp(7, 2, 8, gray256))
out("bmp", "16bit.bmp", bmp(3, 3, 16))
out("bmp", "16bit_fields.bmp", bmp(3, 3, 16, compression=3, masks=struct.pack("<III", 0xF800, 0x07E0, 0x001F)))
out("bmp", "24bit.bmp", bmp(4, 4, 24))
out("bmp", "24bit_topdown.bmp", bmp(4, 2, 24, top_down=True))
out("bmp", "32bit.bmp", bmp(2, 2, 32))
out("bmp", "32bit_v5.bmp", bmp(2, 2, 32, header=124))
out("bmp", "core.bmp", bmp(3, 2, 24, header=12))
out("bmp", "truncated.bmp", bmp(8, 8, 24)[:70])
