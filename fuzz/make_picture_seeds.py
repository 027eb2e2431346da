#!/usr/bin/env python3
"""Writes the tiny seed pictures of fuzz_picture_import (PNG, BMP, GIF, each a
few pixels, and PNGs of 16 bits a component) into fuzz/corpus/fuzz_picture_import/. Standard library only.
Each file starts with the byte that picks the extension the fuzz target gives
the picture file: 0 none, 1 .png, 2 .bmp, 3 .gif, 5 .tga."""
import os
import struct
import zlib

out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "fuzz_picture_import")
os.makedirs(out, exist_ok=True)

# 3 x 2 pixels: red ramp on the first row, gray and white on the second.
pixels = [[(0, 0, 0), (128, 0, 0), (255, 0, 0)],
          [(100, 100, 100), (200, 200, 200), (255, 255, 255)]]
width, height = len(pixels[0]), len(pixels)


def png(depth=8, colour_type=2):
    """8-bit RGB; at depth 16, each component scaled by 257, as grey
    (colour type 0: the red) or RGBA (6: alpha falling along the row)."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    def sample(x, p):
        if depth == 8:
            return bytes(p)
        values = p[:1] if colour_type == 0 else p + (255 - 100 * x,) if colour_type == 6 else p
        return b"".join(struct.pack(">H", v * 257) for v in values)
    raw = b"".join(b"\0" + b"".join(sample(x, p) for x, p in enumerate(row)) for row in pixels)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def bmp():
    stride = (width * 3 + 3) & ~3
    rows = b""
    for row in reversed(pixels):  # bottom-up
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        rows += line + b"\0" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 14 + len(header)) + header + rows


def gif():
    # 2 x 2 pixels, 4-colour palette, one code per pixel with a clear code
    # before every pixel so that the code size stays at 3 bits.
    palette = [(0, 0, 0), (255, 0, 0), (128, 128, 128), (255, 255, 255)]
    codes = []
    for index in (0, 1, 2, 3):
        codes += [4, index]  # clear, pixel
    codes.append(5)  # end of information
    bits, count, data = 0, 0, bytearray()
    for code in codes:
        bits |= code << count
        count += 3
        while count >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        data.append(bits & 0xFF)
    return (b"GIF89a" + struct.pack("<HHBBB", 2, 2, 0x81, 0, 0) + b"".join(bytes(c) for c in palette)
            + b"\x2c" + struct.pack("<HHHHB", 0, 0, 2, 2, 0) + b"\x02" + bytes((len(data),)) + bytes(data)
            + b"\x00\x3b")


def tga():
    # uncompressed true colour, bottom-up rows of blue, green, red
    rows = b"".join(bytes((b, g, r)) for row in reversed(pixels) for r, g, b in row)
    footer = struct.pack("<II", 0, 0) + b"TRUEVISION-XFILE.\0"  # version 2.0 footer
    return struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, height, 24, 0) + rows + footer


for name, extension, data in (("tiny.png", 1, png()), ("tiny.bmp", 2, bmp()), ("tiny.gif", 3, gif()),
                              ("tiny.tga", 5, tga()), ("tiny-png-no-extension", 0, png()),
                              ("tiny-grey16.png", 1, png(16, 0)), ("tiny-rgba16.png", 1, png(16, 6))):
    with open(os.path.join(out, name), "wb") as f:
        f.write(bytes((extension,)) + data)
