# SPDX-License-Identifier: MIT
"""Writes the test files no common tool writes: cursors, animated cursors and hand-built
bitmaps. Called by make-data.sh; `python3 binary.py <what> <args>`."""
import struct
import sys


def cursor_from_icon(icon, cursor):
    data = bytearray(open(icon, "rb").read())
    data[2:4] = struct.pack("<H", 2)
    open(cursor, "wb").write(bytes(data))


def chunk(ident, data):
    """A RIFF chunk, padded to an even length."""
    return ident + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")


def animated(out, rate, *frames):
    """An animated cursor showing each frame file in turn, `rate` jiffies each."""
    icons = [open(f, "rb").read() for f in frames]
    n = len(icons)
    header = struct.pack("<9I", 36, n, n, 0, 0, 0, 0, int(rate), 1)
    body = b"ACON" + chunk(b"anih", header)
    body += chunk(b"LIST", b"fram" + b"".join(chunk(b"icon", i) for i in icons))
    open(out, "wb").write(b"RIFF" + struct.pack("<I", len(body)) + body)


if __name__ == "__main__":
    what, args = sys.argv[1], sys.argv[2:]
    {"cursor-from-icon": cursor_from_icon, "animated": animated}[what](*args)
