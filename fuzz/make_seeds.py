#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Writes the small seed corpora of the fuzz targets into fuzz/corpus/<target>/. Every seed is
# built here byte by byte; run it again after changing it and commit the result.
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def put(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("utf-8"))


def bitmap(bits, compression=0, os2=False, width=8, height=4):
    colours = 1 << bits if bits <= 8 else 0
    if compression == 1:  # RLE8: a run and a literal per row, then end of bitmap
        rows = b"".join(bytes([4, y, 0, 4, 1, 2, 3, 4, 0, 0]) for y in range(height))
        pixels = rows[:-2] + b"\x00\x01"
    elif compression == 2:  # RLE4
        rows = b"".join(bytes([4, 0x12, 0, 4, 0x34, 0x56, 0, 0]) for _ in range(height))
        pixels = rows[:-2] + b"\x00\x01"
    else:
        stride = (width * bits + 31) // 32 * 4
        pixels = bytes(range(stride)) * height
    if os2:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
        palette = bytes(3 * colours)
    else:
        info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression,
                           len(pixels), 2835, 2835, colours, 0)
        palette = bytes(4 * colours)
    off = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", off + len(pixels), 0, 0, off) + info + palette + pixels


def jpeg():
    segment = lambda marker, body: bytes([0xFF, marker]) + struct.pack(">H", len(body) + 2) + body
    return (b"\xFF\xD8" + segment(0xE0, b"JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00")
            + segment(0xDB, bytes(65)) + segment(0xC0, b"\x08\x00\x08\x00\x08\x01\x01\x11\x00")
            + segment(0xDA, b"\x01\x01\x00\x00\x3F\x00") + b"\x12\x34\xFF\x00\x56" + b"\xFF\xD9")


def cursor(bits, png=False):
    size = 8
    if png:
        image = b"\x89PNG\r\n\x1a\n" + bytes(16)
    else:
        header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0, 0, 0, 0, 0, 0)
        xor_stride = (size * bits + 31) // 32 * 4
        image = (header + bytes(4 * (1 << bits)) + bytes([0x5A]) * xor_stride * size
                 + bytes([0xF0, 0, 0, 0]) * size)
    return struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 1,
                                                       len(image), 22) + image


put("fuzz_picture_checks", "rgb24.bmp", bitmap(24))
put("fuzz_picture_checks", "pal4.bmp", bitmap(4))
put("fuzz_picture_checks", "pal8.bmp", bitmap(8))
put("fuzz_picture_checks", "rle8.bmp", bitmap(8, 1))
put("fuzz_picture_checks", "rle4.bmp", bitmap(4, 2))
put("fuzz_picture_checks", "os2.bmp", bitmap(8, os2=True))
put("fuzz_picture_checks", "tiny.jpg", jpeg())
put("fuzz_picture_checks", "mono.cur", cursor(1))
put("fuzz_picture_checks", "pal8.cur", cursor(8))
put("fuzz_picture_checks", "png.ico", cursor(32, png=True))

for i, name in enumerate(["Autumn", "My Theme 2.0", "Caf\u00e9", "CON.txt", "COM\u00b9",
                          "Theme.", "a\"b", "\u041e\u0441\u0435\u043d\u044c", "\U0001F600"]):
    put("fuzz_windows_names", f"name{i}", name)

for i, text in enumerate([b"Plain text", b"Caf\xe9 \x80 \x81", bytes(range(256))]):
    put("fuzz_windows1252", f"bytes{i}", text)

for i, path in enumerate(["C:\\Art\\Sky.ico", "c:\\skinvault\\Autumn\\Autumn.theme",
                          "Z:\\usr\\share\\a.wav", "C:\\..\\x", "C:", "C:\\", "D:\\a"]):
    put("fuzz_drive_map", f"path{i}", path)


def kept_work(name="Autumn", tile=True, colours=None):
    colours = colours if colours is not None else [i * 0x10203 for i in range(25)]
    paths = lambda prefix, n: "[" + ", ".join(f'"C:\\\\{prefix}{i}.x"' for i in range(n)) + "]"
    return ('{"format": "skinsmith kept work", "version": 1, "source": "C:\\\\a\\\\b.theme", '
            '"changed": "2026-12-07T16:40:00.123Z", "theme": {'
            f'"themeName": "{name}", "wallpaperPath": "C:\\\\w.jpg", '
            f'"tileWallpaper": {"true" if tile else "false"}, "iconPaths": {paths("i", 4)}, '
            f'"pointerPaths": {paths("p", 12)}, "soundPaths": {paths("s", 20)}, '
            f'"colors": {colours}, "screenSaverPath": "", "logoPaths": {paths("l", 3)}}}}}')


put("fuzz_kept_work", "whole", kept_work())
put("fuzz_kept_work", "unnamed", kept_work(name="", tile=False, colours=[0] * 25))
put("fuzz_kept_work", "short-colours", kept_work(colours=[1, 2]))
put("fuzz_kept_work", "empty-object", "{}")
