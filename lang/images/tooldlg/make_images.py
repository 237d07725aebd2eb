#!/usr/bin/env python3
"""Draws the pictures of the bead-selection and editing dialogs: the Undo and
Redo button pictures (16 x 15 on the grey mask colour), the block-outline
tool, the design-by-sample, add-rows/columns and rows/columns window icons
and the "Restore all" icon (16 x 16). The shapes and the renderer are those
of the main window's pictures (../shell/make_art.py).

Run it from anywhere; it rewrites the files beside itself:
    python3 lang/images/tooldlg/make_images.py
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "shell"))
import make_art as art  # noqa: E402
from make_art import C, BLUE, GREEN, RED, GOLD, INK  # noqa: E402

BEAD = C(0x9FB4D0)


def d_block_outline(c):
    # A block of gold beads inside a ring of red marks.
    for j in range(3):
        for i in range(3):
            c.circle(0.3 + i * 0.2, 0.3 + j * 0.2, 0.085, GOLD, shade=True)
    c.frame(0.08, 0.08, 0.92, 0.92, 0.1, RED)


def d_sample(c):
    # A small sample tile repeated: one framed, two copies beside it.
    for i, j, a in ((0, 0, 1.0), (1, 0, 0.45), (0, 1, 0.45), (1, 1, 0.45)):
        x0, y0 = 0.06 + i * 0.46, 0.06 + j * 0.46
        c.circle(x0 + 0.12, y0 + 0.12, 0.09, C(0xD63A2F, a), shade=a == 1.0)
        c.circle(x0 + 0.3, y0 + 0.12, 0.09, C(0x2F6FD6, a), shade=a == 1.0)
        c.circle(x0 + 0.12, y0 + 0.3, 0.09, C(0x2FA04A, a), shade=a == 1.0)
        c.circle(x0 + 0.3, y0 + 0.3, 0.09, C(0xE8A21C, a), shade=a == 1.0)
    c.frame(0.02, 0.02, 0.5, 0.5, 0.06, INK)


def d_add(c):
    # A green plus over a column of beads.
    for j in range(4):
        c.circle(0.24, 0.14 + j * 0.24, 0.1, BEAD, shade=True)
    c.rect(0.44, 0.42, 0.96, 0.58, GREEN)
    c.rect(0.62, 0.24, 0.78, 0.76, GREEN)


def d_rows_columns(c):
    # A grid with one inserted column and one inserted row highlighted.
    for j in range(4):
        for i in range(4):
            col = GOLD if (i == 1 or j == 2) else BEAD
            c.circle(0.14 + i * 0.24, 0.14 + j * 0.24, 0.1, col, shade=True)


def d_restore_all(c):
    # Beads coming back: a round arrow around a bead.
    c.circle(0.5, 0.54, 0.16, BLUE, shade=True)
    c.arc(0.5, 0.54, 0.4, 0.1, 60, 350, GREEN)
    c.poly([(0.62, 0.02), (0.96, 0.12), (0.7, 0.34)], GREEN)


def main():
    out = {
        "undo.bmp": art.strip_bmp([art.d_undo], 16, 15),
        "redo.bmp": art.strip_bmp([art.d_redo], 16, 15),
        "icon482.png": art.icon_png(d_block_outline, 16, 16),
        "icon528.png": art.icon_png(d_sample, 16, 16),
        "icon535.png": art.icon_png(d_add, 16, 16),
        "icon538.png": art.icon_png(d_rows_columns, 16, 16),
        "icon552.png": art.icon_png(d_restore_all, 16, 16),
    }
    for name, data in out.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
