#!/usr/bin/env python3
"""Draws the new-design wizard's icons and the Apply bitmap (our own art).

Run from this folder: python3 make_images.py. Writes RGBA PNG icons and a
24-bit BMP whose light grey (192, 192, 192) is transparent.
"""
import math
import struct
import zlib


class Canvas:
    def __init__(self, w, h, bg=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.p = [[bg for _ in range(w)] for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            if len(c) == 3:
                c = c + (255,)
            self.p[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1):
            self.put(x, y0, c)
            self.put(x, y1 - 1, c)
        for y in range(y0, y1):
            self.put(x0, y, c)
            self.put(x1 - 1, y, c)

    def disc(self, cx, cy, r, c, edge=None):
        for y in range(self.h):
            for x in range(self.w):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if d <= r:
                    self.put(x, y, edge if edge and d > r - 1 else c)

    def line(self, x0, y0, x1, y1, c, width=1):
        n = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        for i in range(n + 1):
            t = i / n
            x = x0 + (x1 - x0) * t
            y = y0 + (y1 - y0) * t
            for dy in range(width):
                for dx in range(width):
                    self.put(int(round(x)) + dx, int(round(y)) + dy, c)

    def polygon(self, pts, c):
        for y in range(self.h):
            yc = y + 0.5
            xs = []
            for i in range(len(pts)):
                (ax, ay), (bx, by) = pts[i], pts[(i + 1) % len(pts)]
                if (ay <= yc < by) or (by <= yc < ay):
                    xs.append(ax + (yc - ay) * (bx - ax) / (by - ay))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(int(math.ceil(a - 0.5)), int(math.floor(b - 0.5)) + 1):
                    self.put(x, y, c)

    def png(self, path):
        raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in self.p)
        def chunk(t, d):
            return struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d) & 0xFFFFFFFF)
        data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0))
        data += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
        open(path, "wb").write(data)

    def bmp(self, path):
        stride = (self.w * 3 + 3) & ~3
        rows = b""
        for row in reversed(self.p):
            line = b"".join(bytes((px[2], px[1], px[0])) for px in row)
            rows += line + b"\0" * (stride - len(line))
        header = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
        open(path, "wb").write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(rows), 0, 0, 54) + header + rows)


BEADS = [(220, 50, 60), (240, 170, 30), (60, 160, 70), (40, 110, 200), (150, 70, 180)]


def star(c, cx, cy, r1, r2, col):
    pts = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        r = r1 if i % 2 == 0 else r2
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    c.polygon(pts, col)


def wizard_icon():  # 486: a wand with a star
    c = Canvas(32, 32)
    c.line(5, 27, 19, 13, (90, 60, 30), 3)
    c.line(5, 27, 8, 24, (240, 240, 240), 3)
    star(c, 22, 10, 9, 4, (250, 200, 40))
    star(c, 22, 10, 5, 2, (255, 240, 150))
    return c


def picture_icon(size):  # 488 / 494: a framed landscape
    c = Canvas(size, size)
    s = size / 32
    c.rect(int(2 * s), int(5 * s), int(30 * s), int(27 * s), (110, 80, 40))
    c.rect(int(4 * s), int(7 * s), int(28 * s), int(25 * s), (150, 200, 245))
    c.disc(21 * s, 12 * s, 3 * s, (250, 210, 50))
    c.polygon([(4 * s, 25 * s), (12 * s, 13 * s), (19 * s, 25 * s)], (60, 140, 70))
    c.polygon([(13 * s, 25 * s), (20 * s, 17 * s), (28 * s, 25 * s)], (40, 110, 55))
    return c


def blank_icon():  # 490: a blank sheet with a dotted bead grid
    c = Canvas(32, 32)
    c.polygon([(6, 3), (21, 3), (27, 9), (27, 29), (6, 29)], (255, 255, 255))
    c.line(6, 3, 21, 3, (90, 90, 90))
    c.line(21, 3, 27, 9, (90, 90, 90))
    c.line(27, 9, 27, 29, (90, 90, 90))
    c.line(6, 29, 27, 29, (90, 90, 90))
    c.line(6, 3, 6, 29, (90, 90, 90))
    c.polygon([(21, 3), (21, 9), (27, 9)], (210, 210, 210))
    for y in range(12, 28, 4):
        for x in range(9, 25, 4):
            c.put(x, y, (170, 170, 200))
    return c


def existing_icon():  # 492: a folder holding a bead design
    c = Canvas(32, 32)
    c.rect(2, 8, 14, 12, (210, 160, 50))
    c.rect(2, 11, 30, 28, (235, 190, 70))
    c.frame(2, 11, 30, 28, (160, 110, 30))
    for j in range(3):
        for i in range(5):
            col = BEADS[(i + j) % len(BEADS)]
            c.disc(8 + i * 4, 16 + j * 4, 1.8, col)
    return c


def palette_icon():  # 496: a painter's palette with beads of colour
    c = Canvas(16, 16)
    c.disc(8, 8.5, 7, (225, 200, 160), (140, 110, 70))
    c.disc(10.5, 11.5, 1.6, (0, 0, 0, 0))
    for (x, y), col in zip([(5, 5), (9, 4), (12.5, 6.5), (4.5, 9.5), (7.5, 12)], BEADS):
        c.disc(x, y, 1.6, col)
    return c


def check(c, ox, oy, scale, col):
    c.line(ox + 1 * scale, oy + 6 * scale, ox + 4 * scale, oy + 9 * scale, col, max(1, int(2 * scale)))
    c.line(ox + 4 * scale, oy + 9 * scale, ox + 10 * scale, oy + 2 * scale, col, max(1, int(2 * scale)))


def apply_icon():  # 498: 12 x 12
    c = Canvas(12, 12)
    check(c, 0, 0, 1, (30, 140, 40))
    return c


def apply_bitmap():  # 161: 16 x 15 on the transparent light grey
    c = Canvas(16, 15, (192, 192, 192, 255))
    check(c, 2, 2, 1.1, (30, 140, 40))
    return c


wizard_icon().png("wizard.png")
picture_icon(32).png("picture.png")
blank_icon().png("blank.png")
existing_icon().png("existing.png")
picture_icon(16).png("picture16.png")
palette_icon().png("palette16.png")
apply_icon().png("apply12.png")
apply_bitmap().bmp("apply.bmp")
