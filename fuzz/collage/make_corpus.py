#!/usr/bin/env python3
"""Writes the seed collages (unscrambled, as the fuzz target takes them)."""
import os
import struct

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
os.makedirs(here, exist_ok=True)


def i32(v):
    return struct.pack("<i", v)


def common(kind, vw, vh, x, y, t, angle):
    return i32(kind) + i32(vw) + i32(vh) + i32(x) + i32(y) + bytes([t]) + i32(angle) + bytes(28)


def picture(name, x=0, y=0, t=0, hsl=(0, 0, 0), dist=(0,) * 5, light=(0, 0), rot=0, mode=0, crop=(0,) * 4, edge=0):
    return (common(1, 1000, 1000, x, y, t, 0) + name.encode() + b"\0" + b"".join(i32(v) for v in hsl) + bytes(dist)
            + i32(light[0]) + i32(light[1]) + i32(rot) + i32(0xFFFFFF) + bytes([mode])
            + b"".join(i32(v) for v in crop) + i32(edge) + bytes(44))


def text(s, x=0, y=0, t=0, angle=0, height=-16, charset=0, gradient=0, shadow=0, fade=128):
    font = (i32(height) + i32(0) * 4 + bytes([0, 0, 0, charset, 0, 0, 0, 0])
            + b"Arial".ljust(32, b"\0"))
    return (common(2, 100, 100, x, y, t, angle) + s + b"\0" + font + i32(0x0000FF) + i32(0xFF0000)
            + bytes([gradient]) + i32(shadow) + bytes([fade]) + i32(0x808080) + bytes(32))


def collage(layers, w=40, h=30):
    return i32(2) + b"seed\0" + i32(w) + i32(h) + i32(0xFFFFFF) + bytes(32) + i32(len(layers)) + b"".join(layers)


seeds = {
    "blank": collage([]),
    "picture": collage([picture("p.bmp", 3, 4, 100)]),
    "picture_effects": collage([picture("C:\\Pics\\p.bmp", hsl=(30, 20, -10), dist=(1, 0, 0, 0, 1), light=(3, 2),
                                        rot=30, crop=(1, 1, 5, 3), edge=1)]),
    "picture_turned_kept": collage([picture("p.bmp", rot=90, mode=1)]),
    "text": collage([text(b"Ab\r\ncd", 2, 2)]),
    "text_effects": collage([text(b"\xcf\xf0\xe8", 1, 1, 20, -45, -14, 204, 1, 3, 30)]),
    "both": collage([text(b"Hi", 1, 1), picture("p.bmp", 5, 5, 128)]),
}
for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
