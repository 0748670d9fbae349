#!/usr/bin/env python3
"""Writes the program's own pictures: the built-in 32 x 32 background tile and
the window icon at 40 x 40 and at the desktop's 48 x 48 and 256 x 256, as palette
PNG files. Run from the repository root."""

import os
import struct
import zlib


def write_png(path, width, height, palette, pixels):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + bytes(pixels[y * width:(y + 1) * width]) for y in range(height))
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0))
    png += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


def background():
    # Sixteen greys from 214 up to white; index 15 is white.
    greys = [round(214 + k * 41 / 15) for k in range(16)]
    palette = [(g, g, g) for g in greys]
    size = 32
    pixels = []
    for y in range(size):
        for x in range(size):
            level = 15
            # Two families of faint strokes, periodic in 32 so the tile repeats seamlessly.
            if (x + y) % 16 == 0:
                level = 8 + (x // 4) % 7
            if (x - 2 * y) % 32 == 0:
                level = min(level, 3 + y % 5)
            # Small grains, darkest at their centre.
            dx, dy = (x % 16) - 11, (y % 16) - 5
            d = abs(dx) + abs(dy)
            if d <= 2:
                level = min(level, d * 3 + (x // 16) + 2 * (y // 16))
            pixels.append(level)
    write_png("resources/default_background.png", size, size, palette, pixels)


def icon(size, path):
    # Drawn on a 40 x 40 grid; a larger icon samples the same design at its pixel centres, so
    # every size shows the same strokes and seal.
    glyph = [
        "########",
        "#.#..#.#",
        "########",
        "...##...",
        "########",
        ".#.#.#.#",
        "...##...",
        ".######.",
        "########",
    ]
    paper, ink, ink2, seal = (246, 241, 228), (24, 24, 32), (70, 70, 86), (196, 40, 40)
    palette = [paper, ink, ink2, seal]
    grid = 40
    design = [0] * (grid * grid)
    for row, line in enumerate(glyph):
        for col, mark in enumerate(line):
            if mark != "#":
                continue
            for y in range(2 + row * 4, 2 + row * 4 + 3):
                for x in range(4 + col * 4, 4 + col * 4 + 3):
                    design[y * grid + x] = 1 if (x + y) % 5 else 2
    for y in range(33, 39):
        for x in range(33, 39):
            design[y * grid + x] = 3
    pixels = [
        design[int((y + 0.5) * grid / size) * grid + int((x + 0.5) * grid / size)]
        for y in range(size)
        for x in range(size)
    ]
    write_png(path, size, size, palette, pixels)


if __name__ == "__main__":
    background()
    icon(40, "resources/tessarin.png")
    # The sizes the desktop's hicolor icon theme looks up.
    for size in (48, 256):
        icon(size, f"resources/icons/{size}x{size}/tessarin.png")
