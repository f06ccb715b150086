#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Writes the seed corpus of fuzz_ani: small animated cursors (with and without seq and rate
# chunks, 1-bit and 32-bit frames) and a static cursor, so the fuzzer starts from valid files.
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "fuzz_ani")


def chunk(cid, data):
    pad = b"\0" if len(data) % 2 else b""
    return cid + struct.pack("<I", len(data)) + data + pad


def cursor(bits, size=16, seed=0):
    """A one-image cursor file: 1-bit (with inverting pixels) or 32-bit with alpha."""
    if bits == 1:
        palette = struct.pack("<II", 0x000000, 0xFFFFFF)
        stride = ((size + 31) // 32) * 4
        xor = b"".join(bytes([(0xF0 ^ seed ^ row) & 0xFF]) + b"\0" * (stride - 1) for row in range(size))
        and_ = b"".join(bytes([0xCC ^ row]) + b"\0" * (stride - 1) for row in range(size))
        pixels = xor + and_
        colours = 2
    else:
        palette = b""
        pixels = b"".join(struct.pack("<I", 0x80000000 | (seed * 0x10101 + i * 37) & 0xFFFFFF)
                          for i in range(size * size))
        pixels += b"\0" * (((size + 31) // 32) * 4 * size)
        colours = 0
    dib = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0, 0, 0, 0, colours, 0)
    dib += palette + pixels
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 1, len(dib), 22)
    return struct.pack("<HHH", 0, 2, 1) + entry + dib


def ani(frames, seq=None, rates=None, rate=10, icon=True):
    steps = len(seq) if seq else len(frames)
    flags = (1 if icon else 0) | (2 if seq else 0)
    body = b"ACON" + chunk(b"anih", struct.pack("<9I", 36, len(frames), steps, 0, 0, 0, 0, rate, flags))
    if rates:
        body += chunk(b"rate", struct.pack("<%dI" % len(rates), *rates))
    if seq:
        body += chunk(b"seq ", struct.pack("<%dI" % len(seq), *seq))
    body += chunk(b"LIST", b"fram" + b"".join(chunk(b"icon", f) for f in frames))
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    os.makedirs(HERE, exist_ok=True)
    seeds = {
        "plain.ani": ani([cursor(1, seed=1), cursor(1, seed=2)]),
        "seq_rate.ani": ani([cursor(32, seed=1), cursor(1, seed=3), cursor(32, seed=5)],
                            seq=[2, 0, 1, 0], rates=[3, 6, 9, 12]),
        "raw_frames.ani": ani([cursor(1)], icon=False),
        "truncated.ani": ani([cursor(1), cursor(32)])[:-40],
        "static.cur": cursor(1, size=32, seed=7),
    }
    for name, data in seeds.items():
        with open(os.path.join(HERE, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
