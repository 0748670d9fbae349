#!/usr/bin/env python3
"""Writes the fuzzers' seed inputs into fuzz/corpus/<target>/: small, meaningful inputs that
show each harness what its input looks like. Run from the repository root."""

import os
import struct
import zlib

INT32_MIN = -(2 ** 31)
SRCCOPY = 0x00CC0020


def gbk(text):
    return text.encode("gb18030")


def write(target, name, data):
    folder = os.path.join("fuzz", "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def ini_seeds():
    # The file, then section, key and value fields, each field after a 0x01 byte.
    def seed(name, file_text, *fields):
        write("ini", name, file_text + b"".join(b"\x01" + f for f in fields))

    seed("gbk_sections", gbk("[设置]\r\n左=10\r\n; 注释\r\n顶 = \"20\" \r\n\r\n[Other]\r\nKey=v\r\n"),
         gbk("设置"), gbk("左"), b"30", gbk("新节"), gbk("键"), gbk(" '值' "), gbk("设置"), gbk("宽"), b"")
    seed("new_file", b"", b"Section", b"Key", b"Value", b"section", b"KEY", b"\"other\"")
    seed("lone_cr_duplicates", b"[A]\rk=1\r[a]\rk=2\r[B\rx=\x81", b"a", b"K", b" 'q' ", b"b", b"y", b"z")
    seed("four_byte_names", gbk("[\U00020000]\nname=1\n"), gbk("\U00020000"), gbk("ḿ〾"), gbk("😀 mixed €"))
    seed("long_value", b"[S]\r\nK=old", b"S", b"K", gbk("砾" * 140), b"S", b"L", b"a" * 300)
    seed("refused_names", b";comment only\r\n", b"a]b", b"k", b"v", b"s", b";k", b"v", b"s", b"k=v",
         b"v", b" ", b"k", b"v", b"s", b"k", b"line\nbreak", b"s", b"[k", b"v")


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, colour_type, bit_depth, rows, palette=b"", extra=b""):
    raw = b"".join(b"\x00" + row for row in rows)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, bit_depth,
                                                           colour_type, 0, 0, 0))
    if palette:
        data += chunk(b"PLTE", palette)
    return data + extra + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def bmp(width, height, bit_count, pixels, palette=b"", compression=0):
    header_size = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bit_count, compression, len(pixels),
                       2835, 2835, len(palette) // 4, 0)
    return b"BM" + struct.pack("<IHHI", header_size + len(pixels), 0, 0, header_size) + info \
        + palette + pixels


def gif(width, height, palette, indices):
    # Two-bit codes, and a clear code every two pixels keeps the code width at three bits.
    codes = []
    for i in range(0, len(indices), 2):
        codes += [4] + indices[i:i + 2]
    codes.append(5)
    bits = sum(code << (3 * i) for i, code in enumerate(codes))
    data = bits.to_bytes((3 * len(codes) + 7) // 8, "little")
    return b"GIF89a" + struct.pack("<HHBBB", width, height, 0x81, 0, 0) + palette \
        + b"\x21\xf9\x04\x01\x00\x00\x03\x00" \
        + b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0) \
        + b"\x02" + bytes([len(data)]) + data + b"\x00\x3b"


def ico(size):
    # Opaque on the right, half transparent on the left.
    pixels = b"".join(struct.pack("<I", (0xFF if x > 1 else 0x80) << 24 | (x * 60) << 8 | y * 60)
                      for y in range(size) for x in range(size))
    mask = b"\x00\x00\x00\x00" * size
    image = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(pixels) + len(mask),
                        0, 0, 0, 0) + pixels + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32,
                                                      len(image), 22) + image


def jpeg():
    # One grey 8 x 8 block: a one-code Huffman table each for DC and AC, the block DC 0 then EOB.
    def segment(marker, body):
        return b"\xff" + bytes([marker]) + struct.pack(">H", len(body) + 2) + body

    one_code = bytes([1] + [0] * 15) + b"\x00"
    return b"\xff\xd8" + segment(0xDB, b"\x00" + b"\x01" * 64) \
        + segment(0xC0, struct.pack(">BHHB", 8, 8, 8, 1) + b"\x01\x11\x00") \
        + segment(0xC4, b"\x00" + one_code) + segment(0xC4, b"\x10" + one_code) \
        + segment(0xDA, b"\x01\x01\x00\x00\x3f\x00") + b"\x3f" + b"\xff\xd9"


def picture_seeds():
    write("picture", "rgb24.bmp", bmp(4, 3, 24, b"".join(
        bytes(v for x in range(4) for v in (x * 60, y * 80, 200)) for y in range(3))))
    grey_palette = b"".join(bytes((g, g, g, 0)) for g in range(0, 256, 64))
    indexed = bytes([0, 1, 2, 3, 3, 2, 1, 0])
    write("picture", "indexed8_top_down.bmp", bmp(4, -2, 8, indexed, grey_palette))
    rle = b"\x04\x02\x00\x00" + b"\x02\x01\x02\x03\x00\x00" + b"\x00\x01"
    write("picture", "rle8.bmp", bmp(4, 2, 8, rle, grey_palette, compression=1))
    write("picture", "cut_short.bmp", bmp(4, 3, 24, b"\x00" * 36)[:-10])
    write("picture", "palette.png", png(4, 4, 3, 8, [bytes([x, 3 - x, x, 1]) for x in range(4)],
                                       b"\x00\x00\x00\xff\xff\xff\x80\x80\x80\x20\x40\x60"))
    write("picture", "translucent.png", png(2, 2, 6, 8, [bytes([0, 0, 0, 0, 255, 0, 0, 128]),
                                                         bytes([0, 0, 255, 255, 0, 0, 0, 64])]))
    write("picture", "grey16.png", png(3, 1, 0, 16, [b"\x00\x00\x80\x00\xff\xff"]))
    gif_palette = b"\x00\x00\x00\xff\xff\xff\xff\x00\x00\x00\x00\xff"
    write("picture", "transparent.gif", gif(4, 4, gif_palette, [i % 4 for i in range(16)]))
    write("picture", "icon.ico", ico(4))
    write("picture", "grey.jpg", jpeg())
    write("picture", "no_end.jpg", jpeg()[:-2])


def tile_seeds():
    # left, top, width, height; tile left, top, width, height; operation; origin x, y; then the
    # widths and heights of the two small pictures.
    def seed(name, *fields):
        write("tile", name, struct.pack("<iihhiihhIii4B", *fields))

    seed("origin_not_given", 0, 0, 100, 60, 0, 0, 32, 32, SRCCOPY, INT32_MIN, INT32_MIN, 40, 30, 20, 20)
    seed("negative_destination", -37, -5, 50, 70, 3, 4, 7, 9, SRCCOPY, 11, -13, 47, 47, 12, 15)
    seed("far_origin", 12, -9, 30, 30, 0, 0, 1, 3, SRCCOPY, 2147483647, -2147483647, 30, 10, 2, 3)
    seed("tile_without_area", 1, 1, 10, 10, 0, 0, 0, 5, SRCCOPY, INT32_MIN, INT32_MIN, 12, 12, 4, 4)
    seed("empty_destination", 5, 5, -5, 3, 0, 0, 4, 4, SRCCOPY, INT32_MIN, 2, 8, 8, 4, 4)
    seed("tile_beyond_source", -3, 2, 20, 9, -2, 5, 13, 6, SRCCOPY, INT32_MIN, 7, 18, 12, 8, 8)
    seed("other_operation", 0, 0, 8, 8, 0, 0, 3, 3, 0x00EE0086, 1, 1, 8, 8, 4, 4)


ini_seeds()
picture_seeds()
tile_seeds()
