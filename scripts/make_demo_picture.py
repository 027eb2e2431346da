#!/usr/bin/env python3
"""Writes demo/relief-demo.png: a 400 x 300 gray picture (a dome, a ring and
a gentle slope) for a first try of Orvanel. Python's standard library only."""
import math
import pathlib
import struct
import zlib

WIDTH, HEIGHT = 400, 300


def gray(x, y):
    dome = max(0.0, 1.0 - math.hypot(x - 130, y - 150) / 90.0)
    ring = math.exp(-((math.hypot(x - 290, y - 150) - 60.0) ** 2) / 120.0)
    slope = x / WIDTH * 0.25
    return min(254, int(255 * max(math.sqrt(dome), ring * 0.8, slope)))


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


rows = b"".join(b"\0" + bytes(gray(x, y) for x in range(WIDTH)) for y in range(HEIGHT))
png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 0, 0, 0, 0)) +
       chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
target = pathlib.Path(__file__).resolve().parent.parent / "demo" / "relief-demo.png"
target.parent.mkdir(exist_ok=True)
target.write_bytes(png)
print(target.name, len(png), "octets")
