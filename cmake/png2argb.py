"""Writes a PNG picture's pixels as they are in memory in a QImage of Format_ARGB32.

    python3 cmake/png2argb.py INPUT.png OUTPUT.argb WIDTHxHEIGHT

The browser build carries its built-in pictures this way: a QImage is made over them as they
are, without zlib, libpng or an image reader, whose code the browser would otherwise compile
before the start window could be drawn. The size the program expects is checked here. Reads
8-bit, non-interlaced PNG files: grey, RGB, palette (with its transparency), grey with alpha,
RGBA.
"""

import struct
import sys
import zlib

CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def chunks(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    at = 8
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        yield kind, data[at + 8:at + 8 + length]
        at += 12 + length


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def unfilter(raw, width, height, bpp):
    stride = width * bpp
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - bpp] if i >= bpp else 0
            up = previous[i]
            upper_left = previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + ((left + up) >> 1)) & 0xFF
            elif kind == 4:
                line[i] = (line[i] + paeth(left, up, upper_left)) & 0xFF
            elif kind != 0:
                raise ValueError(f"unknown filter {kind}")
        rows.append(line)
        previous = line
    return rows


def read_png(path):
    """The picture's width, height and rows of (red, green, blue, alpha) pixels."""
    header, palette, transparency, idat = None, b"", b"", b""
    with open(path, "rb") as file:
        for kind, body in chunks(file.read()):
            if kind == b"IHDR":
                header = struct.unpack(">IIBBBBB", body)
            elif kind == b"PLTE":
                palette = body
            elif kind == b"tRNS":
                transparency = body
            elif kind == b"IDAT":
                idat += body
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or interlace or colour not in CHANNELS:
        raise ValueError(f"{path}: only 8-bit, non-interlaced PNG files are read")
    bpp = CHANNELS[colour]
    pixels = []
    for line in unfilter(zlib.decompress(idat), width, height, bpp):
        row = []
        for x in range(width):
            p = line[x * bpp:(x + 1) * bpp]
            if colour == 0:
                row.append((p[0], p[0], p[0], 255))
            elif colour == 2:
                row.append((p[0], p[1], p[2], 255))
            elif colour == 3:
                alpha = transparency[p[0]] if p[0] < len(transparency) else 255
                row.append(tuple(palette[p[0] * 3:p[0] * 3 + 3]) + (alpha,))
            elif colour == 4:
                row.append((p[0], p[0], p[0], p[1]))
            else:
                row.append(tuple(p))
        pixels.append(row)
    return width, height, pixels


def argb32(pixels):
    """Rows top to bottom, each pixel as QImage::Format_ARGB32 has it in a little-endian
    machine's memory (WebAssembly is one): blue, green, red, alpha."""
    return b"".join(bytes((b, g, r, a)) for row in pixels for r, g, b, a in row)


def main():
    width, height, pixels = read_png(sys.argv[1])
    if f"{width}x{height}" != sys.argv[3]:
        raise ValueError(f"{sys.argv[1]} is {width}x{height}, not {sys.argv[3]}")
    with open(sys.argv[2], "wb") as file:
        file.write(argb32(pixels))


if __name__ == "__main__":
    main()
