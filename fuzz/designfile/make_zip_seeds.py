#!/usr/bin/env python3
"""Writes the seed archives of fuzz_designfile_zip into corpus/zip."""
import os
import struct
import zipfile
import zlib

here = os.path.dirname(os.path.abspath(__file__))
out = os.path.join(here, "corpus", "zip")
os.makedirs(out, exist_ok=True)
design = b"QX design bytes " * 8


def write(name, entries, compression=zipfile.ZIP_DEFLATED):
    path = os.path.join(out, name)
    with zipfile.ZipFile(path, "w", compression) as z:
        for entry, data in entries:
            z.writestr(entry, data)
    return path


write("one_design.zip", [("rose.qx", design)])
write("stored.zip", [("rose.qx", design)], zipfile.ZIP_STORED)
write("folder_and_others.zip", [("docs/", b""), ("docs/readme.txt", b"hello"), ("inner/Tulip.QX", design),
                                ("second.qx", b"other")])
write("traversal_names.zip", [("../../evil.qx", design), ("a\\..\\b.qx", design)])
write("no_design.zip", [("picture.png", b"\x89PNG\r\n\x1a\n"), ("notes.txt", b"x")])
write("empty_title.zip", [(".qx", design), ("dir/.qx", design), ("ok.qx", b"")])

# A CRC that does not match the data.
path = write("bad_crc.zip", [("rose.qx", design)], zipfile.ZIP_STORED)
data = bytearray(open(path, "rb").read())
crc = struct.pack("<I", zlib.crc32(design))
for i in range(len(data) - 3):
    if data[i:i + 4] == crc:
        data[i] ^= 0xFF
open(path, "wb").write(data)

# An entry that yields more than it declares: the sizes of both headers cut.
path = write("short_size.zip", [("rose.qx", design)], zipfile.ZIP_STORED)
data = bytearray(open(path, "rb").read())
size = struct.pack("<I", len(design))
for i in range(len(data) - 3):
    if data[i:i + 4] == size:
        data[i:i + 4] = struct.pack("<I", 16)
open(path, "wb").write(data)

# An empty archive (the end record alone).
with zipfile.ZipFile(os.path.join(out, "empty.zip"), "w"):
    pass
