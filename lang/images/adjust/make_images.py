#!/usr/bin/env python3
"""Draws the change-palette dialog's icon (our own art): two bead palettes,
the old one behind, the new one in front, and an arrow from one to the other.

Run from this folder: python3 make_images.py. Writes icon551.png (32 x 32,
RGBA).
"""
import struct
import zlib


def png(path, w, h, pixels):
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def main():
    w = h = 32
    p = [[(0, 0, 0, 0) for _ in range(w)] for _ in range(h)]

    def put(x, y, c):
        if 0 <= x < w and 0 <= y < h:
            p[y][x] = c + (255,) if len(c) == 3 else c

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                put(x, y, c)

    def bead(cx, cy, c):
        for y in range(cy - 2, cy + 3):
            for x in range(cx - 2, cx + 3):
                d = (x - cx) ** 2 + (y - cy) ** 2
                if d <= 5:
                    shade = tuple(min(255, v + 70) for v in c) if (x - cx, y - cy) == (-1, -1) else c
                    put(x, y, shade)

    def palette(x0, y0, colours, frame):
        rect(x0, y0, x0 + 18, y0 + 18, (250, 248, 240))
        for x in range(x0, x0 + 18):
            put(x, y0, frame)
            put(x, y0 + 17, frame)
        for y in range(y0, y0 + 18):
            put(x0, y, frame)
            put(x0 + 17, y, frame)
        for i, c in enumerate(colours):
            bead(x0 + 4 + 5 * (i % 3), y0 + 4 + 5 * (i // 3), c)

    old = [(150, 150, 150), (120, 120, 120), (180, 180, 180), (100, 100, 100), (160, 160, 160), (130, 130, 130),
           (90, 90, 90), (170, 170, 170), (140, 140, 140)]
    new = [(200, 40, 40), (40, 160, 40), (40, 70, 200), (230, 180, 30), (150, 60, 180), (30, 170, 170),
           (240, 120, 40), (100, 200, 60), (200, 60, 140)]
    palette(1, 1, old, (90, 90, 90))
    palette(13, 13, new, (40, 40, 120))
    # The arrow from the old palette to the new one.
    for i in range(7):
        put(20 + i, 4, (0, 110, 0))
        put(20 + i, 5, (0, 110, 0))
    for i in range(6):
        put(26, 4 + i, (0, 110, 0))
        put(27, 4 + i, (0, 110, 0))
    for i in range(4):
        for j in range(-i, i + 1):
            put(26 + j + 1, 12 - i, (0, 110, 0))
    png("icon551.png", w, h, p)


if __name__ == "__main__":
    main()
