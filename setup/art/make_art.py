#!/usr/bin/env python3
"""Draws the setup's pictures (run by hand; the results are kept in the tree):
the window and page icons, the hand cursor of the web link, and the desktop
icons of the program and of its design files. All are beads on a loom: our
own art."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def png(width, height, pixels):
    raw = b''.join(b'\0' + bytes(v for px in row for v in px) for row in pixels)
    def chunk(kind, data):
        c = kind + data
        return struct.pack('>I', len(data)) + c + struct.pack('>I', zlib.crc32(c) & 0xffffffff)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def blank(size):
    return [[(0, 0, 0, 0) for _ in range(size)] for _ in range(size)]


def bead(pixels, cx, cy, r, colour):
    size = len(pixels)
    for y in range(size):
        for x in range(size):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if d <= r:
                # lit from the upper left
                light = max(0.0, 1.0 - math.hypot(x + 0.5 - (cx - r / 3), y + 0.5 - (cy - r / 3)) / (r * 1.4))
                c = tuple(min(255, int(v * (0.65 + 0.35 * light) + 110 * light * light)) for v in colour)
                a = 255 if d <= r - 0.7 else int(255 * (r - d + 0.3))
                pixels[y][x] = c + (max(0, min(255, a)),)


PALETTE = [(162, 49, 198), (40, 120, 200), (230, 170, 40), (200, 40, 70), (40, 160, 90)]


def bead_grid(size, n, margin=0):
    p = blank(size)
    step = (size - 2 * margin) / n
    for row in range(n):
        for col in range(n):
            colour = PALETTE[(row * 2 + col) % len(PALETTE)] if (row + col) % 3 else PALETTE[0]
            bead(p, margin + step * (col + 0.5), margin + step * (row + 0.5), step * 0.46, colour)
    return p


def document(size):
    p = blank(size)
    m = size // 8
    fold = size // 4
    for y in range(m, size - m // 2):
        for x in range(m + m // 2, size - m - m // 2 + 1):
            if x - (size - m - m // 2 - fold) > y - m:
                continue
            edge = x in (m + m // 2, size - m - m // 2) or y in (m, size - m // 2 - 1)
            p[y][x] = (120, 120, 130, 255) if edge else (250, 250, 246, 255)
    step = (size - 4 * m) / 3
    for row in range(3):
        for col in range(3):
            bead(p, 2 * m + step * (col + 0.5), 2 * m + fold // 2 + step * (row + 0.5), step * 0.45,
                 PALETTE[(row + col) % len(PALETTE)])
    return p


def hand_cursor():
    """A 32x32 cursor file: a pointing hand, hot spot at the finger tip."""
    shape = [
        "      XX        ",
        "     X..X       ",
        "     X..X       ",
        "     X..X       ",
        "     X..XXX     ",
        "     X..X..XX   ",
        "     X..X..X.XX ",
        "  XX X..X..X.X.X",
        " X..XX........X.X",
        " X...X.........X",
        "  X............X",
        "  X............X",
        "   X..........X ",
        "   X..........X ",
        "    X........X  ",
        "    XXXXXXXXXX  ",
    ]
    size = 32
    xor = bytearray()
    rows = []
    for y in range(size):
        line = shape[y] if y < len(shape) else ""
        rows.append([(line[x] if x < len(line) else ' ') for x in range(size)])
    # BGRA bottom-up 32-bit image and a 1-bit AND mask.
    for y in reversed(range(size)):
        for x in range(size):
            ch = rows[y][x]
            if ch == 'X':
                xor += bytes((0, 0, 0, 255))
            elif ch == '.':
                xor += bytes((255, 255, 255, 255))
            else:
                xor += bytes((0, 0, 0, 0))
    mask = bytearray()
    for y in reversed(range(size)):
        bits = 0
        row = bytearray()
        for x in range(size):
            bits = (bits << 1) | (1 if rows[y][x] == ' ' else 0)
            if x % 8 == 7:
                row.append(bits)
                bits = 0
        mask += row
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + bytes(xor) + bytes(mask)
    hot = (6, 0)
    return struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', size, size, 0, 0, hot[0], hot[1], len(image),
                                                      6 + 16) + image


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    write('setup.png', png(32, 32, bead_grid(32, 3, 1)))
    write('page.png', png(32, 32, bead_grid(32, 4, 0)))
    write('hand.cur', hand_cursor())
    write('velloran.png', png(48, 48, bead_grid(48, 4, 2)))
    write('velloran-document.png', png(48, 48, document(48)))
