#!/usr/bin/env python3
"""Writes the seed corpus of the picture fuzz targets (corpus/<target>).

Run from anywhere: python3 fuzz/picture/make_corpus.py. The memory-block
seeds take encoded pictures from the codec layer's corpus."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CODEC = os.path.join(HERE, "..", "codec", "corpus")


def out(target, name, data):
    d = os.path.join(HERE, "corpus", target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


# ---- BMP -----------------------------------------------------------------
def stride(w, bpp):
    return ((w * bpp + 31) // 32) * 4


def bmp(w, h, bpp, table=b"", rows=None, compression=0, clr=0, bare=False, header_size=40, masks=b""):
    if rows is None:
        rows = bytes((i * 37) & 0xFF for i in range(stride(w, bpp) * abs(h)))
    if header_size == 12:
        head = struct.pack("<IHHHH", 12, w, h, 1, bpp)
    else:
        head = struct.pack("<IiiHHIIiiII", header_size, w, h, 1, bpp, compression, len(rows), 2835, 2835, clr, 0)
        if header_size > 40:
            extra = masks + b"\0" * (header_size - 40 - len(masks))
            head += extra
            masks = b""
    body = head + masks + table
    if bare:
        return body + rows
    return b"BM" + struct.pack("<IHHI", 14 + len(body) + len(rows), 0, 0, 14 + len(body)) + body + rows


def table(n, triples=False):
    t = b""
    for i in range(n):
        t += bytes([(i * 5) & 0xFF, (i * 11) & 0xFF, (255 - i) & 0xFF]) + (b"" if triples else b"\0")
    return t


out("bmp", "depth24.bmp", bmp(5, 3, 24))
out("bmp", "depth32.bmp", bmp(4, 2, 32))
out("bmp", "depth8.bmp", bmp(6, 4, 8, table(256)))
out("bmp", "depth8_clr5.bmp", bmp(6, 2, 8, table(5), clr=5))
out("bmp", "depth4_core.bmp", bmp(7, 3, 4, table(16, True), header_size=12))
out("bmp", "depth1.bmp", bmp(19, 3, 1, table(2)))
out("bmp", "bitfields16.bmp", bmp(3, 2, 16, masks=struct.pack("<III", 0xF800, 0x07E0, 0x001F), compression=3))
out("bmp", "bitfields32_v4.bmp", bmp(2, 2, 32, compression=3, header_size=108,
                                     masks=struct.pack("<III", 0xFF0000, 0xFF00, 0xFF)))
out("bmp", "topdown24.bmp", bmp(3, -3, 24))
out("bmp", "bare8.dib", bmp(4, 4, 8, table(256), bare=True))
out("bmp", "sixteen555.bmp", bmp(5, 2, 16))


# ---- GIF -----------------------------------------------------------------
def lzw(pixels, min_size):
    """A standard LZW encoder with variable code sizes."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    size = min_size + 1
    table_ = {bytes([i]): i for i in range(clear)}
    nxt = end + 1
    acc = bits = 0
    outb = bytearray()

    def put(code):
        nonlocal acc, bits
        acc |= code << bits
        bits += size
        while bits >= 8:
            outb.append(acc & 0xFF)
            acc >>= 8
            bits -= 8

    put(clear)
    w = b""
    for p in pixels:
        wc = w + bytes([p])
        if wc in table_:
            w = wc
            continue
        put(table_[w])
        if nxt < 4096:
            table_[wc] = nxt
            nxt += 1
            if nxt > (1 << size) and size < 12:
                size += 1
        else:
            put(clear)
            table_ = {bytes([i]): i for i in range(clear)}
            nxt = end + 1
            size = min_size + 1
        w = bytes([p])
    if w:
        put(table_[w])
    put(end)
    if bits:
        outb.append(acc & 0xFF)
    data = bytes([min_size])
    for i in range(0, len(outb), 255):
        chunk = outb[i:i + 255]
        data += bytes([len(chunk)]) + chunk
    return data + b"\0"


def gif(w, h, pixels, ncolors=16, transparent=None, interlaced=False, local=False, comment=True):
    bits = max(1, (ncolors - 1).bit_length())
    pal = b"".join(bytes([(i * 17) & 0xFF, (i * 5) & 0xFF, 255 - i]) for i in range(1 << bits))
    g = b"GIF89a" + struct.pack("<HH", w, h)
    g += bytes([0 if local else 0x80 | (bits - 1), 0, 0]) + (b"" if local else pal)
    if comment:
        g += b"\x21\xFE\x05hello\x00"
    if transparent is not None:
        g += b"\x21\xF9\x04\x01\x00\x00" + bytes([transparent]) + b"\x00"
    packed = (0x40 if interlaced else 0) | ((0x80 | (bits - 1)) if local else 0)
    g += b"\x2C" + struct.pack("<HHHH", 0, 0, w, h) + bytes([packed]) + (pal if local else b"")
    g += lzw(pixels, max(2, bits)) + b";"
    return g


px = [(x * 3 + y * 7) % 16 for y in range(9) for x in range(13)]
out("gif", "plain.gif", gif(13, 9, px))
out("gif", "interlaced.gif", gif(13, 9, px, interlaced=True))
out("gif", "transparent.gif", gif(13, 9, px, transparent=3))
out("gif", "local.gif", gif(13, 9, px, local=True))
out("gif", "runs.gif", gif(40, 30, [(i // 50) % 4 for i in range(1200)], ncolors=4))
out("gif", "two_colour.gif", gif(9, 2, [i % 2 for i in range(18)], ncolors=2))
out("gif", "big_table.gif", gif(64, 64, [(i * 7919) % 256 for i in range(4096)], ncolors=256))


def gif_screen(w, h, background, images):
    """Several images on one screen with a 16-colour global table; each image
    is (left, top, width, height, pixels, local table size or 0, transparent
    index or None, disposal)."""
    pal = b"".join(bytes([i * 16, 255 - i * 16, i * 8]) for i in range(16))
    g = b"GIF89a" + struct.pack("<HH", w, h) + bytes([0x83, background, 0]) + pal
    for left, top, iw, ih, pixels, local, transparent, disposal in images:
        flags = (disposal << 2) | (1 if transparent is not None else 0)
        g += b"\x21\xF9\x04" + bytes([flags]) + b"\x00\x00" + bytes([transparent or 0]) + b"\x00"
        bits = 4
        packed = 0
        table = b""
        if local:
            bits = (local - 1).bit_length()
            packed = 0x80 | (bits - 1)
            table = b"".join(bytes([i, i // 2, 255 - i]) for i in range(local))
        g += b"\x2C" + struct.pack("<HHHH", left, top, iw, ih) + bytes([packed]) + table
        g += lzw(pixels, max(2, bits))
    return g + b";"


out("gif", "screen.gif", gif_screen(20, 12, 5, [
    (2, 2, 8, 6, [i % 16 for i in range(48)], 0, None, 3),
    (10, 4, 8, 6, [(i * 37) % 256 for i in range(48)], 256, 0, 2),
    (0, 0, 4, 4, [i % 2 for i in range(16)], 2, None, 0),
    (16, 9, 6, 5, [3] * 30, 0, None, 0),
]))


# ---- PSD -----------------------------------------------------------------
def packbits(plane):
    o = b""
    i = 0
    while i < len(plane):
        j = i
        while j < len(plane) and j - i < 128 and plane[j] == plane[i]:
            j += 1
        if j - i >= 3:
            o += bytes([257 - (j - i), plane[i]])
            i = j
            continue
        n = min(128, len(plane) - i)
        o += bytes([n - 1]) + bytes(plane[i:i + n])
        i += n
    return o


def resource(rid, name, data):
    r = b"8BIM" + struct.pack(">H", rid) + bytes([len(name)]) + name
    if (1 + len(name)) % 2:
        r += b"\0"
    r += struct.pack(">I", len(data)) + data
    if len(data) % 2:
        r += b"\0"
    return r


def psd(w, h, mode, planes, depth=8, rle=False, cmd=b"", res=b""):
    ch = len(planes)
    p = b"8BPS" + struct.pack(">H", 1) + b"\0" * 6 + struct.pack(">HIIHH", ch, h, w, depth, mode)
    p += struct.pack(">I", len(cmd)) + cmd + struct.pack(">I", len(res)) + res + struct.pack(">I", 0)
    if rle:
        p += struct.pack(">H", 1) + b"\0\0" * (ch * h) + b"".join(packbits(pl) for pl in planes)
    else:
        p += struct.pack(">H", 0) + b"".join(bytes(pl) for pl in planes)
    return p


w, h = 6, 4
n = w * h
ramp = [(i * 10) & 0xFF for i in range(n)]
flat = [77] * n
resolution = resource(1005, b"", struct.pack(">IhhIhh", 72 << 16, 1, 1, 72 << 16, 1, 1))
out("psd", "rgb_raw.psd", psd(w, h, 3, [ramp, flat, ramp[::-1]], res=resolution))
out("psd", "rgba_rle.psd", psd(w, h, 3, [ramp, flat, ramp[::-1], [255] * n], rle=True))
out("psd", "rgba_raw.psd", psd(w, h, 3, [ramp, flat, ramp[::-1], [128] * n]))
out("psd", "gray16_rle.psd", psd(w, h, 1, [sum(([v, v ^ 0x5A] for v in ramp), [])], depth=16, rle=True))
out("psd", "gray16_raw.psd", psd(w, h, 1, [sum(([v, 0] for v in ramp), [])], depth=16))
out("psd", "cmyk.psd", psd(w, h, 4, [ramp, flat, [255] * n, ramp], rle=True))
out("psd", "lab.psd", psd(w, h, 9, [ramp, [128] * n, ramp[::-1]]))
out("psd", "multichannel.psd", psd(w, h, 7, [ramp, flat, ramp]))
out("psd", "duotone.psd", psd(w, h, 8, [ramp], cmd=b"\0" * 40))
out("psd", "indexed.psd", psd(w, h, 2, [ramp], cmd=bytes(range(256)) * 3,
                              res=resource(1046, b"ab", struct.pack(">H", 256)) +
                              resource(1047, b"abc", struct.pack(">H", 3))))
out("psd", "thumb.psd", psd(w, h, 3, [ramp, flat, ramp], res=resource(1036, b"", struct.pack(">6i2h", 1, 2, 2, 8, 16, 16, 24, 1) + b"\xFF" * 16)))


# ---- Memory blocks and picture blocks --------------------------------------
NAMES = [".bmp", ".png", ".jpg", ".jpeg", ".gif", ".tga", ".pcx", ".emf", ".tif", ".psd"]


def codec_seed(sub, name):
    with open(os.path.join(CODEC, sub, name), "rb") as f:
        return f.read()


for sub, name, ext, force in [("bmp", "depth24.bmp", ".bmp", 0), ("bmp", "depth8.bmp", ".bmp", 0),
                              ("png", None, ".png", 0), ("jpeg", "baseline.jpg", ".jpg", 0),
                              ("jpeg", "progressive.jpg", ".jpeg", 0x40), ("gif", "interlaced.gif", ".gif", 0),
                              ("tga", None, ".tga", 0x40), ("pcx", "depth8.pcx", ".pcx", 0x40)]:
    d = os.path.join(CODEC, sub)
    if not os.path.isdir(d):
        continue
    files = sorted(os.listdir(d))
    if not files:
        continue
    fname = name if name in files else files[0]
    sel = NAMES.index(ext) | force
    out("memblock", "%s_%s" % (ext[1:], fname), bytes([sel]) + codec_seed(sub, fname))

marker = b"ADDF938B-0BB5-4aef-8636-9006FE6036EE\0"
bmpdata = codec_seed("bmp", "depth24.bmp")
block = marker + b"C:\\a.png\0" + b"\0" * 128 + b".bmp\0" + struct.pack("<I", len(bmpdata)) + bmpdata
out("memblock", "stream_marker.bin", b"\x80" + block)
out("memblock", "stream_plain.bin", b"\x80" + b".bmp\0" + struct.pack("<I", len(bmpdata)) + bmpdata)
out("memblock", "stream_empty.bin", b"\x80" + b".jpg\0" + struct.pack("<I", 0))
