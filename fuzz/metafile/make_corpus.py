#!/usr/bin/env python3
"""Writes the seed metafiles: placeable WMFs and EMFs of every record group."""
import os
import struct

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
os.makedirs(here, exist_ok=True)


def u32(*v):
    return b"".join(struct.pack("<I", x & 0xFFFFFFFF) for x in v)


def i16(*v):
    return b"".join(struct.pack("<H", x & 0xFFFF) for x in v)


def f32(*v):
    return b"".join(struct.pack("<f", x) for x in v)


def rec(kind, params=b""):
    while len(params) % 4:
        params += b"\0"
    return u32(kind, 8 + len(params)) + params


def emf(w, h, records, handles=8):
    body = b"".join(records)
    eof = u32(14, 20, 0, 16, 20)
    total = 88 + len(body) + len(eof)
    head = (u32(1, 88) + u32(0, 0, w, h) + u32(0, 0, w * 25, h * 25) + u32(0x464D4520, 0x10000, total,
            len(records) + 2) + struct.pack("<HH", handles, 0) + u32(0, 0, 0) + u32(1000, 1000, 250, 250))
    return head + body + eof


def points16(pts):
    return u32(0, 0, 0, 0, len(pts)) + b"".join(i16(x, y) for x, y in pts)


def font(index, height, charset):
    face = "Arial".encode("utf-16-le").ljust(64, b"\0")
    return u32(index, height & 0xFFFFFFFF, 0, 0, 0, 400) + bytes([0, 0, 0, charset, 0, 0, 3, 0]) + face


def text_run(x, y, data, wide, rect):
    n = len(data) // 2 if wide else len(data)
    return u32(0, 0, 0, 0, 1) + f32(1, 1) + u32(x, y, n, 76, 2 | 4, *rect, 0) + data


dib = (u32(40, 2, 2) + struct.pack("<HH", 1, 24) + u32(0, 16, 0, 0, 0, 0)
       + bytes([255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0]))
stretch = u32(0, 0, 0, 0, 5, 5, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0x00CC0020, 20, 20) + dib

seeds = {
    "emf_shapes": emf(60, 40, [
        rec(38, u32(1, 0, 2, 0, 0x008000)), rec(37, u32(1)), rec(39, u32(2, 0, 0xFF0000, 0)), rec(37, u32(2)),
        rec(43, u32(5, 5, 30, 20)), rec(42, u32(30, 5, 55, 35)), rec(44, u32(2, 22, 20, 38, 6, 6)),
        rec(45, u32(30, 5, 55, 35, 55, 20, 30, 20)), rec(47, u32(0, 0, 20, 20, 20, 10, 10, 0)),
        rec(46, u32(0, 0, 20, 20, 0, 10, 20, 10)), rec(86, points16([(1, 1), (10, 1), (1, 10)])),
        rec(87, points16([(0, 39), (59, 0)])), rec(85, points16([(0, 0), (20, 30), (40, 0), (59, 39)])),
        rec(91, u32(0, 0, 0, 0, 2, 6, 3, 3) + i16(0, 0, 5, 0, 0, 5, 10, 10, 15, 10, 10, 15)),
        rec(27, u32(1, 1)), rec(54, u32(50, 30)), rec(40, u32(2))]),
    "emf_path_clip": emf(40, 40, [
        rec(39, u32(1, 0, 0x0000FF, 0)), rec(37, u32(1)), rec(59), rec(27, u32(2, 2)), rec(54, u32(30, 2)), rec(54, u32(30, 30)), rec(61), rec(60),
        rec(62, u32(0, 0, 0, 0)), rec(33), rec(30, u32(10, 10, 30, 30)), rec(29, u32(12, 12, 15, 15)),
        rec(59), rec(42, u32(0, 0, 40, 40)), rec(60), rec(67, u32(1)), rec(39, u32(2, 2, 0x008000, 5)), rec(37, u32(2)), rec(43, u32(0, 0, 40, 40)),
        rec(34, u32(0xFFFFFFFF)), rec(75, u32(48, 5) + u32(32, 1, 1, 16, 0, 0, 20, 20) + u32(0, 0, 20, 20))]),
    "emf_dib": emf(30, 30, [rec(81, stretch)]),
    "emf_text": emf(120, 40, [
        rec(82, font(1, -16, 204)), rec(37, u32(1)), rec(22, u32(24)), rec(18, u32(1)),
        rec(83, text_run(4, 20, b"\xcf\xf0\xe8\xe2\xe5\xf2", False, (0, 0, 60, 24))),
        rec(84, text_run(64, 20, "Caf\u00e9".encode("utf-16-le"), True, (62, 4, 120, 30)))]),
    "emf_mapping": emf(50, 50, [
        rec(35, f32(0.8, 0.6, -0.6, 0.8, 20, 0)), rec(36, f32(1, 0, 0, 1, 1, 1) + u32(2)),
        rec(43, u32(0, 0, 20, 10)), rec(17, u32(8)), rec(9, u32(10, 10)), rec(11, u32(50, 50)),
        rec(10, u32(1, 1)), rec(12, u32(2, 2)), rec(42, u32(0, 0, 5, 5)), rec(17, u32(2)),
        rec(43, u32(0, 0, 50, -50)), rec(200, u32(1))]),
}


def wmf(records, left, top, right, bottom, inch, objects=4):
    body = b""
    for fn, params in records:
        body += struct.pack("<IH", 3 + len(params), fn) + i16(*params)
    body += struct.pack("<IH", 3, 0)
    head = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, left, top, right, bottom, inch, 0)
    s = 0
    for i in range(0, 20, 2):
        s ^= struct.unpack("<H", head[i:i + 2])[0]
    head += struct.pack("<H", s)
    head += struct.pack("<HHHIHIH", 1, 9, 0x300, (18 + len(body)) // 2, objects, 20, 0)
    return head + body


face = list(struct.unpack("<8h", b"Arial".ljust(16, b"\0")))
seeds["wmf_shapes"] = wmf([
    (0x020B, [0, 0]), (0x020C, [1440, 2880]), (0x02FC, [0, 0x00FF, 0, 0]), (0x012D, [0]),
    (0x02FA, [0, 20, 0, 0x8000, 0]), (0x012D, [1]), (0x041B, [720, 1440, 0, 0]), (0x0418, [1440, 2880, 720, 1440]),
    (0x061C, [100, 100, 1400, 1400, 800, 100]), (0x0324, [3, 10, 10, 500, 10, 10, 500]),
    (0x0538, [2, 3, 3, 0, 0, 100, 0, 0, 100, 200, 200, 300, 200, 200, 300]),
    (0x0817, [0, 0, 0, 0, 1440, 2880, 0, 0]), (0x0213, [1440, 2880]), (0x01F0, [0])], 0, 0, 2880, 1440, 1440)
seeds["wmf_text"] = wmf([
    (0x02FB, [-20, 0, 0, 0, 400, 0, 204 << 8] + [0, 0x0300] + face), (0x012D, [0]), (0x0102, [1]),
    (0x0521, [3, 0xF0CF, 0x00E8, 10, 5]), (0x0A32, [30, 5, 3, 4, 0, 0, 80, 40, 0x6241, 0x0063, 7, 7, 7]),
    (0x0416, [40, 60, 5, 5]), (0x001E, []), (0x0127, [-1])], 0, 0, 100, 50, 96)
for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
