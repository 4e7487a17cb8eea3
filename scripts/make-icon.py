#!/usr/bin/env python3
"""Draws the program icon Ic0 (resources/icons/Ic0.png): a matrix between
brackets on the panel colour, its one entry the fraction 1/2."""
import struct
import sys
import zlib

SIZE = 64
BACK = (96, 127, 240, 255)     # dialog background
PANEL = (255, 255, 231, 255)   # panel fill
INK = (0, 0, 200, 255)         # matrix text
LETTER = (200, 0, 100, 255)    # slot letters
CLEAR = (0, 0, 0, 0)

GLYPHS = {
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
}

px = [[CLEAR for _ in range(SIZE)] for _ in range(SIZE)]


def fill(x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(SIZE, y1)):
        for x in range(max(0, x0), min(SIZE, x1)):
            px[y][x] = colour


def rounded(x0, y0, x1, y1, r, colour):
    for y in range(y0, y1):
        for x in range(x0, x1):
            cx = min(max(x, x0 + r), x1 - 1 - r)
            cy = min(max(y, y0 + r), y1 - 1 - r)
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                px[y][x] = colour


def glyph(ch, x0, y0, scale, colour):
    for row, line in enumerate(GLYPHS[ch]):
        for col, c in enumerate(line):
            if c == "#":
                fill(x0 + col * scale, y0 + row * scale, x0 + (col + 1) * scale,
                     y0 + (row + 1) * scale, colour)


rounded(0, 0, SIZE, SIZE, 10, BACK)
rounded(5, 5, SIZE - 5, SIZE - 5, 6, PANEL)
# Brackets
for x0, hook in ((12, 1), (SIZE - 16, -1)):
    fill(x0, 10, x0 + 4, SIZE - 10, INK)
    hx = x0 + 4 if hook > 0 else x0 - 5
    fill(hx, 10, hx + 5, 14, INK)
    fill(hx, SIZE - 14, hx + 5, SIZE - 10, INK)
# 1/2 between them
glyph("1", 25, 11, 3, LETTER)
fill(22, 32, 42, 35, INK)
glyph("2", 25, 38, 3, LETTER)


def png(pixels):
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in pixels)

    def chunk(kind, data):
        c = struct.pack(">I", len(data)) + kind + data
        return c + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


with open(sys.argv[1] if len(sys.argv) > 1 else "resources/icons/Ic0.png", "wb") as f:
    f.write(png(px))
