#!/usr/bin/env python3
"""Draws the program icon, resources/Kestrel.ico: a navy badge with a white "K" under a
yellow wing, in the 16 standard colours, at 64, 32 and 16 pixels. The committed icon is
this script's output; run it again only to change the picture.

Usage: make-icon.py [OUTPUT]  (default: Kestrel.ico beside this script)
"""
import math
import os
import struct
import sys

# The 16 colours of the standard Windows palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, GREY, YELLOW, BLUE, WHITE, OLIVE = 0, 4, 8, 11, 12, 15, 3
TRANSPARENT = None
SIZES = (64, 32, 16)
SAMPLES = 4  # per axis; the colour that covers most of a pixel wins


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def colour_at(x, y):
    """The picture in unit coordinates, y downwards."""
    r = math.hypot(x - 0.5, y - 0.5)
    if r > 0.48:
        return TRANSPARENT
    if r > 0.44:
        return GREY
    # The wing: a crescent over the upper right, between two circles.
    if math.hypot(x - 0.62, y - 0.58) < 0.36 and math.hypot(x - 0.70, y - 0.70) > 0.36 \
            and y < 0.55 and x > 0.42:
        return YELLOW
    # The "K": a stem and two arms.
    if 0.27 <= x <= 0.38 and 0.22 <= y <= 0.80:
        return WHITE
    if segment_distance(x, y, 0.38, 0.55, 0.70, 0.24) < 0.055:
        return WHITE
    if segment_distance(x, y, 0.47, 0.47, 0.72, 0.79) < 0.055:
        return WHITE
    return NAVY if y > 0.5 + 0.3 * (x - 0.5) else BLUE


def render(size):
    pixels = []
    for row in range(size):
        line = []
        for column in range(size):
            votes = {}
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at((column + (sx + 0.5) / SAMPLES) / size,
                                  (row + (sy + 0.5) / SAMPLES) / size)
                    votes[c] = votes.get(c, 0) + 1
            line.append(max(votes, key=lambda c: (votes[c], c is not None)))
        pixels.append(line)
    return pixels


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def icon_image(size):
    """One icon image: header, palette, 4-bit colour rows and 1-bit mask rows, bottom-up."""
    pixels = render(size)
    colour_rows, mask_rows = b"", b""
    for line in reversed(pixels):
        nibbles = [0 if c is None else c for c in line]
        colour_rows += padded(bytes((nibbles[i] << 4) | nibbles[i + 1]
                                    for i in range(0, size, 2)))
        bits = [1 if c is None else 0 for c in line]
        mask_rows += padded(bytes(sum(bits[i + j] << (7 - j) for j in range(8))
                                  for i in range(0, size, 8)))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(colour_rows) + len(mask_rows), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + colour_rows + mask_rows


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "Kestrel.ico")
    images = [icon_image(size) for size in SIZES]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    data += b"".join(images)
    with open(output, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
