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



# --- waves
def wave_repeat(source, out, times):
    """The source wave's samples `times` over: a sound longer than any test waits for."""
    data = open(source, "rb").read()
    at = data.index(b"data")
    samples = data[at + 8 : at + 8 + struct.unpack("<I", data[at + 4 : at + 8])[0]]
    body = data[12:at] + chunk(b"data", samples * int(times))
    open(out, "wb").write(b"RIFF" + struct.pack("<I", len(body) + 4) + b"WAVE" + body)


# --- bitmaps
def qz(source, out):
    """A file compressed as qUncompress reads it (big-endian length, then zlib), for the big
    pictures whose bytes would bloat the repository."""
    import zlib
    data = open(source, "rb").read()
    open(out, "wb").write(struct.pack(">I", len(data)) + zlib.compress(data, 9))


QUADRANTS = [(200, 30, 30), (30, 200, 30), (30, 30, 200), (250, 250, 10)]


def quadrants(out, width, height, bits):
    """Four colours in the four quadrants (top left, top right, bottom left, bottom right);
    1 bit alternates two. 16 bits is 5-5-5; 32 bits is top down with bit fields; the rest are
    bottom up with a palette or BGR triples."""
    width, height, bits = int(width), int(height), int(bits)
    fields = bits == 32
    colours = 1 << bits if bits <= 8 else 0
    row_bytes = (width * bits + 31) // 32 * 4
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in QUADRANTS[:colours])
    palette = palette.ljust(4 * colours, b"\0")
    masks = struct.pack("<3I", 0xFF0000, 0xFF00, 0xFF) if fields else b""

    def pixel_row(y):
        half = [(x * 2 // width + 2 * (y * 2 // height)) % (2 if bits == 1 else 4)
                for x in range(width)]
        if bits <= 8:
            per = 8 // bits
            row = bytes(sum(i << (bits * (per - 1 - k)) for k, i in enumerate(half[x:x + per]))
                        for x in range(0, width, per))
        else:
            def one(i):
                r, g, b = QUADRANTS[i]
                if bits == 16:
                    return struct.pack("<H", (r >> 3) << 10 | (g >> 3) << 5 | b >> 3)
                return bytes((b, g, r)) + (b"\0" if bits == 32 else b"")
            row = b"".join(one(i) for i in half)
        return row.ljust(row_bytes, b"\0")

    top, bottom = pixel_row(0), pixel_row(height - 1)
    rows = [top if y < height // 2 else bottom for y in range(height)]
    pixels = b"".join(rows if fields else reversed(rows))
    info = struct.pack("<IiiHHI", 40, width, -height if fields else height, 1, bits,
                       3 if fields else 0) + bytes(20)
    off = 14 + len(info) + len(masks) + len(palette)
    head = b"BM" + struct.pack("<IHHI", off + len(pixels), 0, 0, off)
    open(out, "wb").write(head + info + masks + palette + pixels)


def stripe(x, y):
    return (x // 20 + y // 25) % 16


def stripe_colour(i):
    return (i * 16, 255 - i * 16, (i * 40) & 255)


def striped(out, bits, kind):
    """A 320 x 400 palette bitmap of stripes: kind "plain", "rle" (run-length; its image size
    says 2 bytes more than the stream holds, as some encoders write it) or "os2" (core header)."""
    bits, width, height = int(bits), 320, 400
    pixels = b""
    for y in reversed(range(height)):
        if kind == "rle":
            # Four literal pixels, then runs of 20, 20, ... and 16.
            pair = lambda i: i if bits == 8 else (i << 4 | i)
            lead = [stripe(x, y) for x in range(4)] if bits == 8 else [pair(stripe(0, y))] * 2
            pixels += bytes([0, 4] + lead)
            for x in range(4, width, 20):
                pixels += bytes((min(20, width - x), pair(stripe(x, y))))
            pixels += bytes((0, 1 if y == 0 else 0))
        else:
            per = 8 // bits
            row = bytes(sum(stripe(x + k, y) << (bits * (per - 1 - k)) for k in range(per))
                        for x in range(0, width, per))
            pixels += row.ljust((len(row) + 3) // 4 * 4, b"\0")
    entry = 3 if kind == "os2" else 4
    palette = b"".join(bytes(reversed(stripe_colour(i % 16))) + b"\0" * (entry - 3)
                       for i in range(1 << bits))
    if kind == "os2":
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
    else:
        rle = kind == "rle"
        info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits,
                           (1 if bits == 8 else 2) if rle else 0,
                           len(pixels) + (2 if rle else 0), 2835, 2835, 1 << bits, 0)
    off = 14 + len(info) + len(palette)
    open(out, "wb").write(b"BM" + struct.pack("<IHHI", off + len(pixels), 0, 0, off)
                          + info + palette + pixels)


def overflow(out):
    """A bitmap header whose sizes multiply past 64 bits."""
    info = struct.pack("<IiiHH", 40, 0x7FFFFFFF, 0x7FFFFFFF, 1, 0xFFFF).ljust(40, b"\0")
    open(out, "wb").write(b"BM" + struct.pack("<IHHI", 54, 0, 0, 54) + info)


def hexfile(out, *hexes):
    open(out, "wb").write(bytes.fromhex("".join(hexes)))


# --- cursors
def palette_cursor(out, bits, square_colour, *colours):
    """A 32 x 32 cursor of 1, 4 or 8 bits: an inverting I-beam (colour 1, AND 1) at x 14-16,
    y 4-27, an opaque 4 x 4 square of colour `square_colour` at the top left, and the rest
    transparent (colour 0, AND 1). Colours are RRGGBB."""
    bits, size, square_colour = int(bits), 32, int(square_colour)
    palette = [tuple(int(c[i:i + 2], 16) for i in (0, 2, 4)) for c in colours]
    beam = lambda x, y: 14 <= x < 17 and 4 <= y < 28
    square = lambda x, y: x < 4 and y < 4
    index = lambda x, y: 1 if beam(x, y) else square_colour if square(x, y) else 0
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette).ljust(4 << bits, b"\0")
    per = 8 // bits
    xor = b"".join(bytes(sum(index(x + k, y) << (bits * (per - 1 - k)) for k in range(per))
                         for x in range(0, size, per)) for y in reversed(range(size)))
    mask = b"".join(bytes(sum((0 if square(x + k, y) else 1) << (7 - k) for k in range(8))
                          for x in range(0, size, 8)) for y in reversed(range(size)))
    image = struct.pack("<IiiHH", 40, size, 2 * size, 1, bits) + bytes(24) + table + xor + mask
    head = struct.pack("<HHHBBBBHHII", 0, 2, 1, size, size, 0, 0, 4, 4, len(image), 22)
    open(out, "wb").write(head + image)


def inverting(out):
    """A 32 x 32 monochrome cursor: the left half inverts the screen (AND 1, XOR 1), the right
    half is black (AND 0, XOR 0)."""
    half = b"\xff\xff\0\0" * 32
    image = struct.pack("<IiiHH6I", 40, 32, 64, 1, 1, 0, 0, 0, 0, 2, 0)
    image += bytes(4) + b"\xff\xff\xff\0"
    image += half + half
    head = struct.pack("<HHHBBBBHHII", 0, 2, 1, 32, 32, 2, 0, 0, 0, len(image), 22)
    open(out, "wb").write(head + image)


def ani(out, *args):
    """An animated cursor of the frame files named, with options as key=value: rate (jiffies),
    rates and seq (comma lists), frames and steps (what the header claims), flags, and
    riff, list, icon2 (the length the RIFF, LIST or second icon chunk claims)."""
    opts = dict(a.split("=") for a in args if "=" in a)
    icons = [open(f, "rb").read() if f != "junk" else b"BM not an icon at all"
             for f in args if "=" not in f]
    lists = {k: [int(v) for v in opts[k].split(",")] for k in ("rates", "seq") if k in opts}
    steps = len(lists.get("seq", icons))
    flags = int(opts.get("flags", 1 | (2 if "seq" in lists else 0)))
    header = struct.pack("<9I", 36, int(opts.get("frames", len(icons))),
                         int(opts.get("steps", steps)), 0, 0, 0, 0, int(opts.get("rate", 10)),
                         flags)

    def claimed(ident, data, key):
        c = chunk(ident, data)
        return c[:4] + struct.pack("<I", int(opts[key])) + c[8:] if key in opts else c

    body = b"ACON" + claimed(b"anih", header, "anih")
    body += b"".join(chunk(n.encode().ljust(4), b"".join(struct.pack("<I", v) for v in lists[k]))
                     for n, k in (("rate", "rates"), ("seq", "seq")) if k in lists)
    frames = b"".join(claimed(b"icon", icon, "icon%d" % (n + 1)) for n, icon in enumerate(icons))
    body += claimed(b"LIST", b"fram" + frames, "list")
    size = int(opts.get("riff", len(body)))
    open(out, "wb").write(b"RIFF" + struct.pack("<I", size) + body)


if __name__ == "__main__":
    what, args = sys.argv[1], sys.argv[2:]
    commands = {"cursor-from-icon": cursor_from_icon, "animated": animated}
    commands.update({"wave-repeat": wave_repeat, "qz": qz, "quadrants": quadrants,
                     "striped": striped, "overflow": overflow, "hex": hexfile,
                     "palette-cursor": palette_cursor, "inverting": inverting, "ani": ani})
    commands[what](*args)
