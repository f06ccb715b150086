#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws Skinsmith's window icon (32 x 32, 16 colours) and writes it as skinsmith.ico.

The picture: a monitor whose screen shows a teal desktop with a small window and a row of
colour swatches, the things a theme sets. Run it again after changing the drawing."""
import struct
import sys

# The 16 standard VGA colours, as a 4-bit icon's palette holds them (B, G, R, 0).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER, GRAY, RED, LIME, YELLOW, BLUE, \
    FUCHSIA, AQUA, WHITE = range(16)
SIZE = 32
TRANSPARENT = -1

pixels = [[TRANSPARENT] * SIZE for _ in range(SIZE)]


def fill(left, top, right, bottom, colour):
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            pixels[y][x] = colour


def frame(left, top, right, bottom, colour):
    fill(left, top, right, top, colour)
    fill(left, bottom, right, bottom, colour)
    fill(left, top, left, bottom, colour)
    fill(right, top, right, bottom, colour)


# Monitor case with a light top-left edge and a dark outline.
fill(1, 2, 30, 24, SILVER)
frame(1, 2, 30, 24, BLACK)
fill(2, 3, 29, 3, WHITE)
fill(2, 3, 2, 23, WHITE)
fill(3, 23, 29, 23, GRAY)
# Screen: teal desktop.
fill(4, 5, 27, 20, TEAL)
frame(4, 5, 27, 20, GRAY)
# A window on the desktop: navy title bar, white body.
fill(7, 7, 21, 16, SILVER)
frame(7, 7, 21, 16, BLACK)
fill(8, 8, 20, 9, NAVY)
fill(19, 8, 20, 9, SILVER)
fill(9, 11, 19, 14, WHITE)
# Colour swatches along the bottom of the screen.
for i, colour in enumerate([RED, YELLOW, LIME, BLUE, FUCHSIA]):
    fill(6 + 4 * i, 18, 8 + 4 * i, 19, colour)
# Stand.
fill(12, 25, 19, 27, GRAY)
fill(8, 28, 23, 29, SILVER)
frame(8, 28, 23, 29, BLACK)
fill(12, 25, 12, 27, BLACK)
fill(19, 25, 19, 27, BLACK)


def icon_bytes():
    # XOR mask: 4 bits a pixel, rows bottom-up, each row 16 bytes (already 4-byte aligned).
    xor = bytearray()
    for y in reversed(range(SIZE)):
        row = [max(p, 0) for p in pixels[y]]
        for x in range(0, SIZE, 2):
            xor.append((row[x] << 4) | row[x + 1])
    # AND mask: 1 bit a pixel, set where transparent; rows of 4 bytes.
    mask = bytearray()
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if pixels[y][x] == TRANSPARENT else 0)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4,
                                                          len(image), 6 + 16)
    return directory + image


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else "skinsmith.ico"
    with open(target, "wb") as out:
        out.write(icon_bytes())
