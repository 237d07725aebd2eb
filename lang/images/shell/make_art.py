#!/usr/bin/env python3
"""Draws the pictures of the main window: toolbar and menu icons, the
preference page icons, the bead-effect icons, the information-box strip
(bitmap 147), the hand cursor and the about picture. Every picture is a few
shapes in unit coordinates, rendered with 4x4 supersampling, so one drawing
gives the 24 x 24 toolbar icon and the 16 x 15 menu image alike.

Run it from anywhere; it rewrites the files beside itself:
    python3 lang/images/shell/make_art.py
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 4  # supersampling per axis


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.W, self.H = w * SS, h * SS
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.W * self.H)]

    def _blend(self, i, c):
        r, g, b, a = c
        if a <= 0:
            return
        p = self.px[i]
        oa = p[3]
        na = a + oa * (1 - a)
        if na <= 0:
            return
        for k, v in enumerate((r, g, b)):
            p[k] = (v * a + p[k] * oa * (1 - a)) / na
        p[3] = na

    def fill(self, inside, color, box=None):
        x0, y0, x1, y1 = box if box else (0, 0, 1, 1)
        ix0 = max(0, int(x0 * self.W) - 1)
        ix1 = min(self.W, int(x1 * self.W) + 2)
        iy0 = max(0, int(y0 * self.H) - 1)
        iy1 = min(self.H, int(y1 * self.H) + 2)
        for y in range(iy0, iy1):
            fy = (y + 0.5) / self.H
            for x in range(ix0, ix1):
                fx = (x + 0.5) / self.W
                c = inside(fx, fy)
                if c:
                    self._blend(y * self.W + x, c if isinstance(c, tuple) else color)

    def rect(self, x0, y0, x1, y1, color):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, color, (x0, y0, x1, y1))

    def frame(self, x0, y0, x1, y1, t, color):
        self.rect(x0, y0, x1, y0 + t, color)
        self.rect(x0, y1 - t, x1, y1, color)
        self.rect(x0, y0, x0 + t, y1, color)
        self.rect(x1 - t, y0, x1, y1, color)

    def circle(self, cx, cy, r, color, shade=False):
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            if d > r:
                return None
            if not shade:
                return color
            # A bead lit from the upper left.
            lx, ly = (x - cx + r * 0.35) / r, (y - cy + r * 0.35) / r
            k = max(0.0, 1.0 - math.hypot(lx, ly))
            rr, gg, bb, aa = color
            return (min(1, rr + k * 0.9), min(1, gg + k * 0.9), min(1, bb + k * 0.9), aa)
        self.fill(inside, color, (cx - r, cy - r, cx + r, cy + r))

    def ring(self, cx, cy, r, t, color):
        self.fill(lambda x, y: r - t <= math.hypot(x - cx, y - cy) <= r, color, (cx - r, cy - r, cx + r, cy + r))

    def poly(self, pts, color):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]

        def inside(x, y):
            c = False
            n = len(pts)
            for i in range(n):
                x1, y1 = pts[i]
                x2, y2 = pts[(i + 1) % n]
                if (y1 > y) != (y2 > y) and x < (x2 - x1) * (y - y1) / (y2 - y1) + x1:
                    c = not c
            return c
        self.fill(inside, color, (min(xs), min(ys), max(xs), max(ys)))

    def line(self, x0, y0, x1, y1, t, color):
        dx, dy = x1 - x0, y1 - y0
        L = math.hypot(dx, dy) or 1
        nx, ny = -dy / L * t / 2, dx / L * t / 2
        self.poly([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], color)

    def arc(self, cx, cy, r, t, a0, a1, color):
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            if not (r - t <= d <= r):
                return False
            a = math.degrees(math.atan2(-(y - cy), x - cx)) % 360
            return (a0 <= a <= a1) if a0 <= a1 else (a >= a0 or a <= a1)
        self.fill(inside, color, (cx - r, cy - r, cx + r, cy + r))

    def pixels(self):
        out = []
        n = SS * SS
        for y in range(self.h):
            row = []
            for x in range(self.w):
                r = g = b = a = 0.0
                for sy in range(SS):
                    for sx in range(SS):
                        p = self.px[(y * SS + sy) * self.W + x * SS + sx]
                        r += p[0] * p[3]
                        g += p[1] * p[3]
                        b += p[2] * p[3]
                        a += p[3]
                if a > 0:
                    r, g, b = r / a, g / a, b / a
                row.append((r, g, b, a / n))
            out.append(row)
        return out


def png_bytes(rows):
    h = len(rows)
    w = len(rows[0])
    raw = b""
    for row in rows:
        raw += b"\x00" + bytes(v for px in row for v in px)
    def chunk(t, d):
        return struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def to8(v):
    return max(0, min(255, int(round(v * 255))))


def rgba_rows(canvas):
    return [[(to8(r), to8(g), to8(b), to8(a)) for (r, g, b, a) in row] for row in canvas.pixels()]


def on_background(canvas, bg):
    rows = []
    for row in canvas.pixels():
        out = []
        for r, g, b, a in row:
            # Nearly clear pixels keep the exact background so it stays a mask.
            if a < 0.35:
                out.append(bg)
                continue
            out.append(tuple(to8(c * a + bg[k] / 255.0 * (1 - a)) for k, c in enumerate((r, g, b))))
        rows.append(out)
    return rows


def bmp_bytes(rows):
    h = len(rows)
    w = len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = b""
    for row in reversed(rows):
        line = b"".join(bytes((b, g, r)) for (r, g, b) in row)
        data += line + b"\x00" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


# ---- colours ----
def C(hexv, a=1.0):
    return (((hexv >> 16) & 255) / 255.0, ((hexv >> 8) & 255) / 255.0, (hexv & 255) / 255.0, a)


INK = C(0x2B3A55)
PAPER = C(0xFFFFFF)
PAPER_EDGE = C(0x5A6B86)
BLUE = C(0x2F6FD6)
RED = C(0xD63A2F)
GREEN = C(0x2FA04A)
GOLD = C(0xE8A21C)
VIOLET = C(0x8A4FD0)
TEAL = C(0x1F9AA0)
GREY = C(0x808890)


def page(c, x0=0.2, y0=0.08, x1=0.8, y1=0.92):
    fold = 0.18
    c.poly([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], PAPER_EDGE)
    t = 0.07
    c.poly([(x0 + t, y0 + t), (x1 - fold - t * 0.3, y0 + t), (x1 - t, y0 + fold + t * 0.3), (x1 - t, y1 - t),
            (x0 + t, y1 - t)], PAPER)


def beads_grid(c, x0, y0, n, step, colors, r=None):
    r = r or step * 0.42
    k = 0
    for j in range(n):
        for i in range(n):
            c.circle(x0 + i * step, y0 + j * step, r, colors[k % len(colors)], shade=True)
            k += 1


# ---- the drawings ----
def d_new(c):
    page(c)
    c.circle(0.68, 0.72, 0.2, GOLD, shade=True)
    c.rect(0.64, 0.6, 0.72, 0.84, PAPER)
    c.rect(0.56, 0.68, 0.80, 0.76, PAPER)


def d_open(c):
    c.poly([(0.06, 0.22), (0.38, 0.22), (0.46, 0.32), (0.9, 0.32), (0.9, 0.86), (0.06, 0.86)], C(0xB07A1E))
    c.poly([(0.18, 0.44), (0.98, 0.44), (0.86, 0.86), (0.06, 0.86)], C(0xF2C04A))


def d_save(c):
    c.rect(0.1, 0.1, 0.9, 0.9, BLUE)
    c.rect(0.26, 0.1, 0.74, 0.4, PAPER)
    c.rect(0.56, 0.14, 0.68, 0.34, BLUE)
    c.rect(0.22, 0.56, 0.78, 0.9, C(0xDDE6F5))


def d_pdf(c):
    page(c)
    c.rect(0.08, 0.5, 0.7, 0.78, RED)
    c.rect(0.16, 0.57, 0.24, 0.71, PAPER)
    c.rect(0.3, 0.57, 0.4, 0.71, PAPER)
    c.rect(0.46, 0.57, 0.6, 0.71, PAPER)


def d_picture(c):
    c.rect(0.06, 0.14, 0.94, 0.86, PAPER_EDGE)
    c.rect(0.12, 0.2, 0.88, 0.8, C(0xBFE3FF))
    c.circle(0.7, 0.36, 0.09, GOLD)
    c.poly([(0.12, 0.8), (0.38, 0.42), (0.6, 0.8)], GREEN)
    c.poly([(0.42, 0.8), (0.64, 0.54), (0.88, 0.8)], C(0x1D7A36))


def d_properties(c):
    page(c)
    for k in range(4):
        c.rect(0.3, 0.3 + k * 0.14, 0.7, 0.36 + k * 0.14, GREY)
    c.circle(0.74, 0.74, 0.17, BLUE)
    c.rect(0.71, 0.7, 0.77, 0.84, PAPER)
    c.rect(0.71, 0.62, 0.77, 0.67, PAPER)


def d_summary(c):
    c.rect(0.1, 0.86, 0.9, 0.92, INK)
    for k, (hgt, col) in enumerate(((0.35, BLUE), (0.6, GREEN), (0.45, GOLD), (0.75, RED))):
        c.rect(0.14 + k * 0.19, 0.86 - hgt, 0.28 + k * 0.19, 0.86, col)


def d_undo(c):
    c.arc(0.5, 0.56, 0.34, 0.13, 300, 150, BLUE)
    c.poly([(0.06, 0.3), (0.36, 0.14), (0.36, 0.5)], BLUE)


def d_redo(c):
    c.arc(0.5, 0.56, 0.34, 0.13, 30, 240, BLUE)
    c.poly([(0.94, 0.3), (0.64, 0.14), (0.64, 0.5)], BLUE)


def d_partial(c):
    beads_grid(c, 0.2, 0.2, 4, 0.2, [C(0x9FB4D0)])
    for k in range(6):
        c.rect(0.3 + k * 0.08, 0.3, 0.34 + k * 0.08, 0.34, RED)
        c.rect(0.3 + k * 0.08, 0.7, 0.34 + k * 0.08, 0.74, RED)
        c.rect(0.3, 0.3 + k * 0.07, 0.34, 0.34 + k * 0.07, RED)
        c.rect(0.7, 0.3 + k * 0.07, 0.74, 0.34 + k * 0.07, RED)


def d_adjust(c):
    c.circle(0.38, 0.38, 0.26, C(0xE0403A, 0.85))
    c.circle(0.62, 0.38, 0.26, C(0x3AB04A, 0.85))
    c.circle(0.5, 0.62, 0.26, C(0x3A6AE0, 0.85))


def d_color_group(c):
    c.poly([(0.1, 0.5), (0.3, 0.16), (0.7, 0.12), (0.92, 0.42), (0.78, 0.86), (0.4, 0.9), (0.48, 0.66),
            (0.24, 0.7)], C(0xE9D2A8))
    for x, y, col in ((0.34, 0.3, RED), (0.56, 0.24, GOLD), (0.74, 0.44, GREEN), (0.66, 0.7, BLUE)):
        c.circle(x, y, 0.09, col)


def d_text(c):
    pts = [(0.2, 0.86), (0.3, 0.62), (0.4, 0.38), (0.5, 0.14), (0.6, 0.38), (0.7, 0.62), (0.8, 0.86),
           (0.4, 0.62), (0.5, 0.62), (0.6, 0.62)]
    for x, y in pts:
        c.circle(x, y, 0.085, VIOLET, shade=True)


def d_use_only(c):
    for k, col in enumerate((RED, GOLD, GREEN)):
        c.rect(0.1 + k * 0.28, 0.3, 0.34 + k * 0.28, 0.7, col)
        c.frame(0.1 + k * 0.28, 0.3, 0.34 + k * 0.28, 0.7, 0.04, INK)


def d_remove_separate(c):
    beads_grid(c, 0.22, 0.22, 3, 0.28, [C(0x9FB4D0)], r=0.11)
    c.circle(0.5, 0.5, 0.13, GOLD, shade=True)
    c.line(0.56, 0.56, 0.94, 0.94, 0.1, RED)
    c.line(0.94, 0.56, 0.56, 0.94, 0.1, RED)


def d_preview(c):
    c.rect(0.06, 0.1, 0.94, 0.9, INK)
    c.rect(0.06, 0.1, 0.94, 0.24, BLUE)
    c.rect(0.12, 0.3, 0.88, 0.84, PAPER)
    beads_grid(c, 0.27, 0.42, 3, 0.23, [RED, GOLD, GREEN, BLUE], r=0.08)


def d_interesting(c):
    c.poly([(0.04, 0.5), (0.5, 0.2), (0.96, 0.5), (0.5, 0.8)], INK)
    c.poly([(0.12, 0.5), (0.5, 0.27), (0.88, 0.5), (0.5, 0.73)], PAPER)
    c.circle(0.5, 0.5, 0.17, TEAL)
    c.circle(0.5, 0.5, 0.07, INK)


def d_round(c):
    c.circle(0.5, 0.5, 0.4, C(0xC0302A), shade=True)


def d_circle(c):
    c.ring(0.5, 0.5, 0.4, 0.16, C(0x2A8F3A))
    c.arc(0.5, 0.5, 0.36, 0.06, 100, 170, C(0xB8F0C0))


def d_cylinder(c):
    c.rect(0.2, 0.22, 0.8, 0.78, C(0x2E5FB8))
    c.rect(0.3, 0.22, 0.42, 0.78, C(0x9CC0FF))
    c.fill(lambda x, y: ((x - 0.5) / 0.3) ** 2 + ((y - 0.22) / 0.1) ** 2 <= 1, C(0x6A95E0), (0.2, 0.1, 0.8, 0.34))
    c.fill(lambda x, y: ((x - 0.5) / 0.3) ** 2 + ((y - 0.78) / 0.1) ** 2 <= 1 and y > 0.78, C(0x2E5FB8),
           (0.2, 0.7, 0.8, 0.9))


def d_round_rect(c):
    r = 0.16

    def inside(x, y):
        x0, y0, x1, y1 = 0.14, 0.24, 0.86, 0.76
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return math.hypot(x - cx, y - cy) <= r
    c.fill(inside, C(0xB8862A))
    c.rect(0.26, 0.32, 0.7, 0.4, C(0xF5DDA0))


def d_app(c):
    cols = [RED, GOLD, GREEN, TEAL, BLUE, VIOLET]
    for k in range(12):
        a = k * math.pi / 6
        c.circle(0.5 + 0.34 * math.cos(a), 0.5 + 0.34 * math.sin(a), 0.11, cols[k % 6], shade=True)
    c.circle(0.5, 0.5, 0.14, GOLD, shade=True)


def d_update(c):
    c.circle(0.5, 0.5, 0.4, C(0x3A8FD8))
    c.arc(0.5, 0.5, 0.4, 0.05, 0, 360, C(0x1A4F90))
    c.rect(0.1, 0.48, 0.9, 0.52, C(0x1A4F90))
    c.fill(lambda x, y: abs(((x - 0.5) / 0.18) ** 2 + ((y - 0.5) / 0.4) ** 2 - 1) < 0.2, C(0x1A4F90))
    c.poly([(0.62, 0.66), (0.98, 0.66), (0.8, 0.96)], GREEN)
    c.rect(0.74, 0.46, 0.86, 0.68, GREEN)


def d_download(c):
    beads_grid(c, 0.2, 0.72, 4, 0.2, [RED, GOLD, BLUE], r=0.08)
    c.rect(0.42, 0.06, 0.58, 0.36, GREEN)
    c.poly([(0.24, 0.34), (0.76, 0.34), (0.5, 0.6)], GREEN)


def d_other_product(c):
    for j in range(3):
        for i in range(3):
            col = (RED, GOLD, GREEN, BLUE, VIOLET, TEAL)[(i + j * 2) % 6]
            c.rect(0.12 + i * 0.27, 0.12 + j * 0.27, 0.34 + i * 0.27, 0.34 + j * 0.27, col)


def d_import(c):
    d_open(c)
    c.poly([(0.42, 0.06), (0.7, 0.06), (0.7, 0.24), (0.84, 0.24), (0.56, 0.48), (0.28, 0.24), (0.42, 0.24)], GREEN)


def d_save_as(c):
    d_save(c)
    c.line(0.5, 0.92, 0.96, 0.46, 0.12, GOLD)
    c.poly([(0.44, 0.98), (0.42, 0.84), (0.56, 0.86)], INK)


def d_copy(c):
    c.rect(0.08, 0.08, 0.6, 0.66, PAPER_EDGE)
    c.rect(0.14, 0.14, 0.54, 0.6, PAPER)
    c.rect(0.4, 0.34, 0.92, 0.92, PAPER_EDGE)
    c.rect(0.46, 0.4, 0.86, 0.86, PAPER)
    beads_grid(c, 0.56, 0.5, 2, 0.2, [RED, BLUE], r=0.07)


def d_print(c):
    c.rect(0.26, 0.08, 0.74, 0.4, PAPER_EDGE)
    c.rect(0.3, 0.12, 0.7, 0.4, PAPER)
    c.rect(0.06, 0.38, 0.94, 0.76, GREY)
    c.rect(0.26, 0.62, 0.74, 0.94, PAPER_EDGE)
    c.rect(0.3, 0.62, 0.7, 0.9, PAPER)
    c.circle(0.82, 0.48, 0.04, GREEN)


def d_change_palette(c):
    d_color_group(c)
    c.poly([(0.6, 0.84), (0.98, 0.84), (0.98, 0.98), (0.6, 0.98)], INK)


def d_by_sample(c):
    for j in range(2):
        for i in range(2):
            x, y = 0.08 + i * 0.46, 0.08 + j * 0.46
            c.rect(x, y, x + 0.38, y + 0.38, C(0x9FB4D0) if (i, j) != (0, 0) else GOLD)
            c.circle(x + 0.19, y + 0.19, 0.1, RED, shade=True)


def d_mirror(c):
    c.rect(0.47, 0.06, 0.53, 0.94, INK)
    c.poly([(0.4, 0.2), (0.4, 0.8), (0.08, 0.8)], BLUE)
    c.poly([(0.6, 0.2), (0.6, 0.8), (0.92, 0.8)], C(0x9CC0FF))


def d_mirrored(horizontal, vertical):
    """A triangle and its reflection across the mirror's axes."""
    def draw(c):
        if horizontal:
            c.rect(0.47, 0.04, 0.53, 0.96, INK)
        if vertical:
            c.rect(0.04, 0.47, 0.96, 0.53, INK)
        w = 0.5 if horizontal else 1.0
        h = 0.5 if vertical else 1.0
        base = [(0.1, 0.1), (0.1, 0.9), (0.9, 0.9)]
        tri = [(x * w * 0.9, y * h * 0.9) for x, y in base]
        c.poly(tri, BLUE)
        if horizontal:
            c.poly([(1 - x, y) for x, y in tri], C(0x9CC0FF))
        if vertical:
            c.poly([(x, 1 - y) for x, y in tri], C(0x9CC0FF))
        if horizontal and vertical:
            c.poly([(1 - x, 1 - y) for x, y in tri], BLUE)
    return draw


def d_add_rows(c):
    beads_grid(c, 0.2, 0.2, 3, 0.22, [C(0x9FB4D0)], r=0.09)
    c.rect(0.62, 0.74, 0.98, 0.86, GREEN)
    c.rect(0.74, 0.62, 0.86, 0.98, GREEN)


def d_preferences(c):
    for k in range(8):
        a = k * math.pi / 4
        c.line(0.5, 0.5, 0.5 + 0.44 * math.cos(a), 0.5 + 0.44 * math.sin(a), 0.16, GREY)
    c.circle(0.5, 0.5, 0.32, GREY)
    c.circle(0.5, 0.5, 0.13, PAPER)


def d_background(c):
    c.rect(0.08, 0.08, 0.92, 0.92, C(0x808080))
    c.frame(0.08, 0.08, 0.92, 0.92, 0.06, INK)
    c.circle(0.5, 0.5, 0.2, GOLD, shade=True)


def d_exit(c):
    c.rect(0.1, 0.08, 0.56, 0.92, C(0x8B5A2B))
    c.rect(0.16, 0.14, 0.5, 0.86, C(0xC08850))
    c.rect(0.48, 0.44, 0.8, 0.56, RED)
    c.poly([(0.74, 0.3), (0.98, 0.5), (0.74, 0.7)], RED)


def d_description(c):
    c.rect(0.1, 0.12, 0.5, 0.88, C(0x3A6AB0))
    c.rect(0.5, 0.12, 0.9, 0.88, C(0x4A7AC0))
    c.rect(0.16, 0.18, 0.47, 0.82, PAPER)
    c.rect(0.53, 0.18, 0.84, 0.82, PAPER)
    for k in range(4):
        c.rect(0.2, 0.28 + k * 0.13, 0.44, 0.32 + k * 0.13, GREY)
        c.rect(0.56, 0.28 + k * 0.13, 0.8, 0.32 + k * 0.13, GREY)


def d_startup(c):
    c.circle(0.5, 0.5, 0.42, GREEN)
    c.poly([(0.4, 0.28), (0.74, 0.5), (0.4, 0.72)], PAPER)


def d_keys(c):
    c.rect(0.06, 0.22, 0.94, 0.78, INK)
    for j in range(2):
        for i in range(4):
            c.rect(0.12 + i * 0.2, 0.3 + j * 0.2, 0.28 + i * 0.2, 0.44 + j * 0.2, PAPER)
    c.rect(0.2, 0.64, 0.8, 0.72, PAPER)


def d_memory(c):
    c.rect(0.2, 0.2, 0.8, 0.8, INK)
    c.rect(0.3, 0.3, 0.7, 0.7, C(0x3AB04A))
    for k in range(4):
        for x0 in (0.08, 0.8):
            c.rect(x0, 0.26 + k * 0.14, x0 + 0.12, 0.32 + k * 0.14, GREY)
        for y0 in (0.08, 0.8):
            c.rect(0.26 + k * 0.14, y0, 0.32 + k * 0.14, y0 + 0.12, GREY)


def d_ruler(c):
    c.poly([(0.04, 0.7), (0.7, 0.04), (0.96, 0.3), (0.3, 0.96)], C(0xE8C050))
    for k in range(6):
        x = 0.18 + k * 0.1
        y = 0.56 - k * 0.1
        c.line(x, y, x + 0.1, y + 0.1, 0.04, INK)


def d_statusbar(c):
    c.rect(0.06, 0.12, 0.94, 0.88, INK)
    c.rect(0.12, 0.18, 0.88, 0.66, PAPER)
    c.rect(0.12, 0.7, 0.5, 0.82, GREEN)
    c.rect(0.56, 0.7, 0.88, 0.82, GOLD)


def d_bead_sizes(c):
    c.circle(0.24, 0.62, 0.18, RED, shade=True)
    c.circle(0.58, 0.6, 0.13, GOLD, shade=True)
    c.circle(0.82, 0.6, 0.09, BLUE, shade=True)
    c.rect(0.06, 0.86, 0.94, 0.92, INK)


def d_misc(c):
    c.rect(0.08, 0.08, 0.92, 0.92, PAPER)
    for k in range(5):
        c.rect(0.08 + k * 0.2, 0.08, 0.12 + k * 0.2, 0.92, RED)
        c.rect(0.08, 0.08 + k * 0.2, 0.92, 0.12 + k * 0.2, RED)


def d_shortcut_root(c):
    d_keys(c)


def d_adjust_button(c):
    c.poly([(0.5, 0.04), (0.95, 0.4), (0.05, 0.4)], INK)
    c.poly([(0.5, 0.96), (0.95, 0.6), (0.05, 0.6)], INK)


def d_info_design(c):
    beads_grid(c, 0.25, 0.25, 3, 0.25, [RED, GOLD, GREEN, BLUE], r=0.1)


def d_info_palette(c):
    d_color_group(c)


def d_format(kind):
    def draw(c):
        col = C(0x3A6AB0)
        if kind == "loom":
            beads_grid(c, 0.2, 0.2, 3, 0.3, [col], r=0.13)
        elif kind == "peyote":
            for i in range(3):
                for j in range(3):
                    c.circle(0.2 + i * 0.3, 0.16 + j * 0.3 + (0.15 if i % 2 else 0), 0.13, col, shade=True)
        elif kind == "brick":
            for j in range(3):
                for i in range(3):
                    c.circle(0.18 + i * 0.3 + (0.15 if j % 2 else 0), 0.2 + j * 0.3, 0.13, C(0xB0603A), shade=True)
        elif kind == "herringbone":
            for j in range(3):
                c.line(0.1, 0.15 + j * 0.3, 0.45, 0.3 + j * 0.3, 0.14, GREEN)
                c.line(0.55, 0.3 + j * 0.3, 0.9, 0.15 + j * 0.3, 0.14, GREEN)
        elif kind == "sacred_brick":
            for j in range(3):
                for i in range(3):
                    c.circle(0.18 + i * 0.3 + (0.15 if j % 2 else 0), 0.2 + j * 0.3, 0.13, GOLD, shade=True)
        elif kind == "sacred_peyote":
            for i in range(3):
                for j in range(3):
                    c.circle(0.2 + i * 0.3, 0.16 + j * 0.3 + (0.15 if i % 2 else 0), 0.13, VIOLET, shade=True)
        elif kind == "mirror":
            d_mirror(c)
        elif kind == "modes":
            d_adjust(c)
        else:
            d_app(c)
    return draw


# Toolbar 128 in button order, with the icon id of each 24 x 24 picture.
TOOLBAR_128 = [
    (486, d_new), (468, d_open), (469, d_save), (519, d_pdf), (520, d_picture), (521, d_properties),
    (530, d_summary), (526, d_undo), (527, d_redo), (553, d_partial), (539, d_adjust), (524, d_color_group),
    (525, d_text), (496, d_use_only), (549, d_remove_separate), (529, d_preview), (544, d_interesting),
    (545, d_round), (128, d_app), (555, d_update), (556, d_download), (557, d_other_product),
]
# Toolbar 163: menu commands without a button.
TOOLBAR_163 = [d_import, d_save_as, d_copy, d_print, d_change_palette, d_by_sample, d_mirror, d_add_rows,
               d_preferences, d_background, d_exit, d_description]
# Toolbar 164: the four bead effects.
EFFECTS = [(545, d_round), (546, d_circle), (547, d_cylinder), (548, d_round_rect)]
# Preference pages and other single icons (16 x 16 and 24 x 24 alike).
PAGES = [(531, d_startup), (532, d_keys), (533, d_shortcut_root), (534, d_memory), (542, d_ruler),
         (536, d_statusbar), (467, d_bead_sizes), (537, d_misc)]
# Bitmap 147: 16-pixel images: 0 mirror, 1 design info, 2 palette info, 3 colour modes, 4 sacred brick,
# 5 loom, 6 peyote, 7 the program, 8 brick, 9 sacred peyote, 10 herringbone, 11 to 13 the colour modes
# of the wizard's combo (10 to 13), 14 and 15 spare.
STRIP_147 = [d_format("mirror"), d_info_design, d_info_palette, d_format("modes"), d_format("sacred_brick"),
             d_format("loom"), d_format("peyote"), d_format("app"), d_format("brick"), d_format("sacred_peyote"),
             d_format("herringbone"), d_format("modes"), d_format("modes"), d_format("modes"),
             # 14-16: the mirror dialog's choices (left to right, top to bottom, both).
             d_mirrored(True, False), d_mirrored(False, True), d_mirrored(True, True)]

GREY_BG = (192, 192, 192)


def icon_png(draw, w, h):
    c = Canvas(w, h)
    draw(c)
    return png_bytes(rgba_rows(c))


def strip_bmp(draws, w, h, bg=GREY_BG):
    rows = [[] for _ in range(h)]
    for draw in draws:
        c = Canvas(w, h)
        draw(c)
        for y, row in enumerate(on_background(c, bg)):
            rows[y].extend(row)
    return bmp_bytes(rows)


def cursor_bytes():
    """A 32 x 32 hand cursor (CUR file: ICO layout with the hot spot)."""
    c = Canvas(32, 32)
    skin = C(0xFFFFFF)
    edge = C(0x000000)
    # Pointing finger and palm, an outline drawn under the fill.
    for col, grow in ((edge, 0.03), (skin, 0.0)):
        c.rect(0.3 - grow, 0.02 - grow, 0.44 + grow, 0.55, col)
        c.rect(0.44 - grow, 0.3 - grow, 0.58 + grow, 0.55, col)
        c.rect(0.58 - grow, 0.34 - grow, 0.72 + grow, 0.55, col)
        c.rect(0.72 - grow, 0.4 - grow, 0.84 + grow, 0.6, col)
        c.rect(0.2 - grow, 0.5 - grow, 0.84 + grow, 0.86 + grow, col)
    px = c.pixels()
    w = h = 32
    xor = b""
    for row in reversed(px):
        for r, g, b, a in row:
            xor += bytes((to8(b), to8(g), to8(r), 255 if a >= 0.5 else 0))
    mask = b""
    for row in reversed(px):
        bits = 0
        line = b""
        for x, (r, g, b, a) in enumerate(row):
            bits = (bits << 1) | (0 if a >= 0.5 else 1)
            if x % 8 == 7:
                line += bytes((bits,))
                bits = 0
        mask += line
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + xor + mask
    hot_x, hot_y = 11, 1
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", w, h, 0, 0, hot_x, hot_y, len(image), 6 + 16)
    return header + entry + image


def about_picture():
    """The about picture: 980 x 700, a soft gradient with a weave of beads."""
    w, h = 980, 700
    rows = []
    for y in range(h):
        t = y / h
        row = []
        for x in range(w):
            s = x / w
            r = 40 + 40 * s + 30 * t
            g = 70 + 60 * t
            b = 140 + 80 * (1 - t)
            row.append([r, g, b])
        rows.append(row)
    # Beads of a peyote weave in the upper part.
    palette = [(226, 84, 64), (240, 180, 60), (70, 170, 90), (60, 150, 200), (150, 100, 210), (240, 240, 240)]
    rad = 15
    for j in range(9):
        for i in range(34):
            cx = 20 + i * 29
            cy = 24 + j * 30 + (15 if i % 2 else 0)
            col = palette[(i * 3 + j * 5 + (i * j) % 4) % len(palette)]
            for y in range(max(0, cy - rad), min(h, cy + rad + 1)):
                for x in range(max(0, cx - rad), min(w, cx + rad + 1)):
                    d = math.hypot(x - cx, y - cy)
                    if d > rad:
                        continue
                    k = max(0.0, 1 - math.hypot(x - cx + 5, y - cy + 5) / rad)
                    edge = min(1.0, rad - d)
                    shade = 0.75 + 0.25 * (1 - d / rad)
                    val = [min(255, col[n] * shade + k * 140) for n in range(3)]
                    rows[y][x] = [rows[y][x][n] * (1 - edge) + val[n] * edge for n in range(3)]
    out = [[(int(max(0, min(255, r))), int(max(0, min(255, g))), int(max(0, min(255, b))), 255)
            for r, g, b in row] for row in rows]
    return png_bytes(out)


def main():
    # 486 and 496 are the wizard's and the palette file's icons (their own art).
    for icon_id, draw in TOOLBAR_128 + EFFECTS[1:]:
        if icon_id not in (486, 496):
            write("icon%d_24.png" % icon_id, icon_png(draw, 24, 24))
    for icon_id, draw in PAGES:
        write("icon%d_16.png" % icon_id, icon_png(draw, 16, 16))
    write("icon128.png", icon_png(d_app, 32, 32))
    write("toolbar128.bmp", strip_bmp([d for _, d in TOOLBAR_128], 16, 15))
    write("toolbar163.bmp", strip_bmp(TOOLBAR_163, 16, 15))
    write("toolbar164.bmp", strip_bmp([d for _, d in EFFECTS], 16, 15))
    write("bitmap147.bmp", strip_bmp(STRIP_147, 16, 16))
    write("hand.cur", cursor_bytes())
    write("about.png", about_picture())


if __name__ == "__main__":
    main()
