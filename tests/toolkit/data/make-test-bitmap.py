#!/usr/bin/env python3
"""Writes 7001.png, the film strip the toolkit's tests draw: three 40 x 40
frames stacked vertically (red, green, blue), frame n with n + 1 white bars,
a half-transparent black band at the bottom and a clear top-left corner.
Standard library only, so any machine can make it again."""
import struct
import zlib

W, H, FRAMES = 40, 40, 3
COLOURS = [(200, 40, 40), (40, 160, 60), (40, 70, 200)]


def pixel(x, y):
    n, fy = divmod(y, H)
    if x < 6 and fy < 6:
        return (0, 0, 0, 0)
    if fy >= 32:
        return (0, 0, 0, 128)
    for bar in range(n + 1):
        if 8 + bar * 8 <= x < 12 + bar * 8 and 8 <= fy < 28:
            return (255, 255, 255, 255)
    return COLOURS[n] + (255,)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(W)) for y in range(H * FRAMES))
png = b"\x89PNG\r\n\x1a\n"
png += chunk(b"IHDR", struct.pack(">IIBBBBB", W, H * FRAMES, 8, 6, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(rows, 9))
png += chunk(b"IEND", b"")
with open(__file__.rsplit("/", 1)[0] + "/7001.png" if "/" in __file__ else "7001.png", "wb") as f:
    f.write(png)
