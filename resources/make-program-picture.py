#!/usr/bin/env python3
"""Draws the program picture of the welcome panel, resources/Kestrel.bmp: the emblem of the
program icon (make-icon.py) as a 64 x 64 bitmap in the 16 standard colours, on light grey
where the icon is transparent. The committed bitmap is this script's output.

Usage: make-program-picture.py [OUTPUT]  (default: Kestrel.bmp beside this script)
"""
import importlib.util
import os
import struct
import sys

SIZE = 64
SILVER = 7  # the panel's button face in the standard palette


def load_icon_module(here):
    source = importlib.util.spec_from_file_location("make_icon", os.path.join(here, "make-icon.py"))
    module = importlib.util.module_from_spec(source)
    source.loader.exec_module(module)
    return module


def bitmap(icon):
    """A bottom-up 4-bit BMP file: file header, info header, palette, rows."""
    pixels = icon.render(SIZE)
    rows = b""
    for line in reversed(pixels):
        nibbles = [SILVER if c is None else c for c in line]
        rows += icon.padded(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, SIZE, 2)))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in icon.PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 4, 0, len(rows), 3780, 3780, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return header + info + palette + rows


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "Kestrel.bmp")
    with open(output, "wb") as f:
        f.write(bitmap(load_icon_module(here)))


if __name__ == "__main__":
    main()
