#!/usr/bin/env python3
"""Draws the print prompt's icon (our own art): a printer whose sheet shows
a small bead chart. Run from this folder: python3 make_print_icon.py.
Writes print_prompt.png (32 x 32, RGBA)."""
import math
import struct
import zlib

W = H = 32
pixels = [[(0, 0, 0, 0) for _ in range(W)] for _ in range(H)]


def put(x, y, c):
    if 0 <= x < W and 0 <= y < H:
        pixels[y][x] = c if len(c) == 4 else c + (255,)


def rect(x0, y0, x1, y1, c):
    for y in range(y0, y1):
        for x in range(x0, x1):
            put(x, y, c)


def frame(x0, y0, x1, y1, c):
    for x in range(x0, x1):
        put(x, y0, c)
        put(x, y1 - 1, c)
    for y in range(y0, y1):
        put(x0, y, c)
        put(x1 - 1, y, c)


def bead(cx, cy, c):
    for y in range(int(cy) - 2, int(cy) + 3):
        for x in range(int(cx) - 2, int(cx) + 3):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if d <= 1.6:
                shade = 1.0 - 0.25 * max(0.0, (x + 0.5 - cx) + (y + 0.5 - cy)) / 2
                put(x, y, tuple(max(0, min(255, int(v * shade))) for v in c))


# The sheet coming out of the top, with a 4 x 3 chart of beads.
rect(8, 1, 24, 16, (255, 255, 255))
frame(8, 1, 24, 16, (120, 120, 130))
colours = [(200, 40, 50), (40, 150, 70), (50, 80, 210), (240, 200, 40)]
for row in range(3):
    for col in range(4):
        bead(11.5 + col * 3, 4.5 + row * 3.5, colours[(row + col) % 4])
# The printer's body, its paper slot and a green light.
rect(3, 14, 29, 26, (170, 175, 185))
frame(3, 14, 29, 26, (70, 75, 90))
rect(4, 15, 28, 17, (205, 210, 218))
rect(7, 19, 25, 21, (60, 62, 70))
rect(24, 23, 27, 25, (40, 200, 60))
# The tray with the printed sheet.
rect(6, 26, 26, 30, (235, 235, 240))
frame(6, 26, 26, 30, (90, 90, 100))
for col in range(4):
    bead(10.5 + col * 3.5, 28, colours[col])


def png(path):
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


png("print_prompt.png")
