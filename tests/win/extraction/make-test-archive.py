#!/usr/bin/env python3
"""Writes test-archive.bin, the small archive the extraction and road tests link in as
TCOMPRESS/DATA: three RLE members of one input block each, the site database stored in
mixed case. Run it again after changing the members; the output is committed."""
import os
import struct

RLE_ESCAPE = 0x94
# 1 December 2026, 12:00:00 as a DOS date (high word) and time (low word).
DOS_DATE_TIME = ((2026 - 1980) << 25) | (12 << 21) | (1 << 16) | (12 << 11)
ARCHIVE_ATTRIBUTE = 0x20
METHOD_RLE = 1

MEMBERS = [
    ("readme.txt", b"Kestrel 2.2 test readme\r\nAaa bbbb ccccc 0000000000\r\n"),
    ("Sites.INI", b"[sites]\r\nexample=ftp.example.test\r\n"),
    ("whatsnew.txt", b"What is new: \x94 escape byte and a run ......................\r\n"),
]


def rle_compress(data):
    out = bytearray()
    previous, run, in_run, first = 0, 0, False, True

    def literal(c):
        out.extend((RLE_ESCAPE, 0) if c == RLE_ESCAPE else (c,))

    def emit_run(n, b):
        out.extend((RLE_ESCAPE, n) if n == 0 or n > 2 else bytes((b,)) * (n - 1))

    for c in data:
        if in_run:
            if c == previous and run < 255:
                run += 1
            else:
                emit_run(run, previous)
                previous = c
                literal(c)
                in_run = False
        else:
            if c == RLE_ESCAPE:
                out.extend((RLE_ESCAPE, 0))
            elif c != previous or first:
                out.append(c)
            else:
                run, in_run = 2, True
            previous = c
        first = False
    if in_run:
        emit_run(run, previous)
    return bytes(out)


def main():
    body = bytearray()
    total = 0
    for name, data in MEMBERS:
        packed = rle_compress(data)
        encoded = name.encode("ascii")
        body += struct.pack("<hIHiiBII", len(encoded), DOS_DATE_TIME, ARCHIVE_ATTRIBUTE,
                            len(data), len(packed), METHOD_RLE, sum(data) & 0xFFFFFFFF, 0)
        body += encoded + packed
        total += len(data)
    header = b"QUIX\x1a" + b"RLE" + struct.pack("<iBII", total, 1, 0, 0)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "test-archive.bin")
    with open(path, "wb") as f:
        f.write(header + body)


if __name__ == "__main__":
    main()
