#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Writes the theme packs the input tests open: real-form packs as DOS and Windows tools wrote
# them (zip with code page 437 names, lzh, cab) and hostile ones. Run once; commit the output.
import io
import os
import stat
import struct
import subprocess
import tarfile
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))


def zip_entry(z, name, data, flags=0, attr=None, raw_name=None):
    info = zipfile.ZipInfo(name, (1998, 6, 25, 12, 0, 0))
    info.compress_type = zipfile.ZIP_DEFLATED
    if attr is not None:
        info.external_attr = attr << 16
        info.create_system = 3
    z.writestr(info, data)


THEME = ("[Control Panel\\Desktop]\r\nWallpaper=%ThemeDir%cool.bmp\r\n"
         "[Control Panel\\Colors]\r\nActiveTitle={}\r\n"
         "[AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current]\r\n"
         "DefaultValue=%ThemeDir%Caf\u00c9.wav\r\n")

# A pack as most were shared: a High Color and a 256 Color theme over 8.3 upper-case files,
# one with an accented name in code page 437 (no UTF-8 mark).
with zipfile.ZipFile(os.path.join(HERE, "COOL98.ZIP"), "w") as z:
    zip_entry(z, "Cool (High Color).theme",
              THEME.format("0 0 128\r\nGradientActiveTitle=16 132 208").encode("cp1252"))
    zip_entry(z, "Cool (256 Color).theme", THEME.format("0 0 255").encode("cp1252"))
    zip_entry(z, "COOL.BMP", b"BM" + bytes(60))
    zip_entry(z, "CAF\u00c9.WAV", b"RIFF" + bytes(40))  # stored as CP437 0x90

# Everything a pack must not do, beside files it may hold.
with zipfile.ZipFile(os.path.join(HERE, "hostile.zip"), "w") as z:
    zip_entry(z, "/ABS.TXT", "a")
    zip_entry(z, "C:/WINDOWS/WIN.INI", "a")
    zip_entry(z, "../UP.TXT", "a")
    zip_entry(z, "SUB/../../UP2.TXT", "a")
    zip_entry(z, "LINK", "/etc/passwd", attr=stat.S_IFLNK | 0o777)
    zip_entry(z, "\u65e5\u672c.theme", "[boot]\r\n")  # not CP437: stored with the UTF-8 mark
    zip_entry(z, "D\u00c9J\u00c0.TXT", "cp437")
    zip_entry(z, "README.TXT", "first")
    zip_entry(z, "readme.txt", "second")
    zip_entry(z, "Sounds/A.WAV", "a")
    zip_entry(z, "SOUNDS/B.WAV", "b")
    zip_entry(z, "AUX.TXT", "a")

# Devices and links, which only tar holds.
with tarfile.open(os.path.join(HERE, "devices.tar"), "w") as t:
    for name, kind, extra in [("NULL", tarfile.CHRTYPE, {}), ("PIPE", tarfile.FIFOTYPE, {}),
                              ("HARD", tarfile.LNKTYPE, {"linkname": "OK.THEME"}),
                              ("SOFT", tarfile.SYMTYPE, {"linkname": "/etc"})]:
        info = tarfile.TarInfo(name)
        info.type = kind
        for k, v in extra.items():
            setattr(info, k, v)
        t.addfile(info)
    data = b"[boot]\r\n"
    info = tarfile.TarInfo("OK.THEME")
    info.size = len(data)
    t.addfile(info, io.BytesIO(data))

# Zeros that deflate a thousandfold.
with zipfile.ZipFile(os.path.join(HERE, "bomb.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr(zipfile.ZipInfo("BIG.BMP", (1998, 6, 25, 12, 0, 0)), bytes(8 << 20),
               compress_type=zipfile.ZIP_DEFLATED)

# A password-protected entry (the zip tool's own encryption).
with tempfile.TemporaryDirectory() as tmp:
    with open(os.path.join(tmp, "SECRET.THEME"), "w") as f:
        f.write("[boot]\r\n")
    target = os.path.join(HERE, "secret.zip")
    if os.path.exists(target):
        os.remove(target)
    subprocess.run(["zip", "-q", "-P", "pw", target, "SECRET.THEME"], cwd=tmp, check=True)


def crc16(data):
    crc = 0
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


# An LHA archive (level-0 headers, stored), as DOS packs of 1996 came.
def lzh(files):
    out = b""
    for name, data in files:
        n = name.encode("cp437")
        body = (b"-lh0-" + struct.pack("<IIIBB", len(data), len(data), 0x24D96000, 0x20, 0)
                + bytes([len(n)]) + n + struct.pack("<H", crc16(data)))
        out += bytes([len(body), sum(body) & 0xFF]) + body + data
    return out + b"\x00"


with open(os.path.join(HERE, "OLD95.LZH"), "wb") as f:
    f.write(lzh([("OLD95.THEME", THEME.format("128 0 0").encode("cp1252")), ("COOL.BMP", b"BM" + bytes(60))]))


# A cabinet with one stored folder, as Microsoft's tools wrote them.
def cab(files):
    names = [n.encode("cp437") + b"\x00" for n, _ in files]
    data = b"".join(d for _, d in files)
    header_size, folder_size = 36, 8
    files_size = sum(16 + len(n) for n in names)
    data_offset = header_size + folder_size + files_size
    total = data_offset + 8 + len(data)
    out = struct.pack("<4sIIIIIBBHHHHH", b"MSCF", 0, total, 0, header_size + folder_size, 0, 3, 1,
                      1, len(files), 0, 0, 0)
    out += struct.pack("<IHH", data_offset, 1, 0)
    offset = 0
    for (name, d), n in zip(files, names):
        out += struct.pack("<IIHHHH", len(d), offset, 0, 0x24D9, 0x6000, 0x20) + n
        offset += len(d)
    out += struct.pack("<IHH", 0, len(data), len(data)) + data
    return out


with open(os.path.join(HERE, "PLUS.CAB"), "wb") as f:
    f.write(cab([("PLUS.THEME", THEME.format("0 128 0").encode("cp1252")), ("COOL.BMP", b"BM" + bytes(60))]))
