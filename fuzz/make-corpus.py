#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

The seeds are small on purpose: valid files of each form, every truncation point of one valid
map file and one valid bitmap, each string-length form, and the texts of each typed layout.
Run it again after changing it; the files are plain data and are committed."""

import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# --- map files ---------------------------------------------------------------------------------

def string(text, form=None):
    raw = text.encode("latin-1") if isinstance(text, str) else text
    n = len(raw)
    if form is None:
        form = 1 if n < 255 else 3 if n < 65534 else 7
    if form == 1:
        return bytes([n]) + raw
    if form == 3:
        return b"\xff" + struct.pack("<H", n) + raw
    return b"\xff\xff\xff" + struct.pack("<I", n) + raw


def header(version=1, magic="Halvoren.."):
    return string(magic) + struct.pack("<H", version)


def mark(x, y, wx, wy):
    return struct.pack("<HHdd", x, y, wx, wy)


LATLON_MARKS = mark(0, 0, -10.0, 10.0) + mark(16, 0, 10.0, 10.0) + mark(16, 16, 10.0, -10.0)
UTM_MARKS = (mark(0, 0, 400000.0, 5300000.0) + mark(16, 0, 402000.0, 5300000.0) +
             mark(16, 16, 402000.0, 5298000.0))
WORLD_MARKS = mark(0, 0, -180.0, 90.0) + mark(998, 0, 180.0, 90.0) + mark(998, 500, 180.0, -90.0)


def body(path, calibrated=1, coord=0, marks=LATLON_MARKS, zone=10, letter=b"U", form=None):
    return (string(path, form) + bytes([calibrated]) + struct.pack("<i", coord) + marks +
            bytes([zone]) + letter)


def map_files():
    good = header() + body("seed.bmp")
    seeds = {
        "empty": b"",
        "default_map": header() + body("", marks=WORLD_MARKS),
        "latlon": good,
        "latlon_form3": header() + body("seed.bmp", form=3),
        "latlon_form7": header() + body("seed.bmp", form=7),
        "long_path_form3": header() + body("gone/" + "d" * 290 + ".bmp"),
        "utm": header() + body("seed.bmp", coord=1, marks=UTM_MARKS, zone=10, letter=b"U"),
        "utm_zone_0": header() + body("seed.bmp", coord=1, marks=UTM_MARKS, zone=0),
        "utm_zone_61": header() + body("seed.bmp", coord=1, marks=UTM_MARKS, zone=61),
        "uncalibrated": header() + body("seed.bmp", calibrated=0),
        "missing_bitmap": header() + body("gone/missing.bmp"),
        "broken_bitmap": header() + body("broken.bmp"),
        "bad_magic": header(magic="Halvoren.,") + body("seed.bmp"),
        "version_2": header(2) + body("seed.bmp"),
        "version_ffff": header(0xFFFF) + body("seed.bmp"),
        "calibrated_2": header() + body("seed.bmp", calibrated=2),
        "coord_type_5": header() + body("seed.bmp", coord=5),
        "string_beyond_file": header() + b"\xff\xff\xff" + struct.pack("<I", 0x7fffffff),
    }
    for name, data in seeds.items():
        write("map_file", name, data)
    for n in range(1, len(good)):
        write("map_file", "latlon_cut_%03d" % n, good[:n])
    # info takes the same forms; a few of them are enough to start from.
    for name in ("empty", "default_map", "latlon", "latlon_form7", "utm", "uncalibrated",
                 "bad_magic", "version_2", "calibrated_2", "string_beyond_file"):
        write("cli_info", name, seeds[name])
    write("cli_info", "latlon_cut_050", good[:50])
    write("cli_info", "utf8_and_control_path",
          header() + body("m\u00e4p\u2603\x01\"\\.bmp".encode("utf-8") + b"\xff\xc0"))


# --- bitmaps -----------------------------------------------------------------------------------

def bmp(width, height, bits, pixels, compression=0, table=(), info_size=40, masks=(),
        colors_used=0):
    if info_size == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
        table_bytes = b"".join(struct.pack("<BBB", b, g, r) for r, g, b in table)
    else:
        info = struct.pack("<IiiHHIIiiII", info_size, width, height, 1, bits, compression,
                           len(pixels), 2835, 2835, colors_used, 0)
        extra = info_size - 40
        inner = list(masks) + [0] * 4
        info += b"".join(struct.pack("<I", m) for m in inner[:extra // 4])
        info += b"\0" * (extra - 4 * min(len(inner), extra // 4))
        if info_size == 40:
            info += b"".join(struct.pack("<I", m) for m in masks)
        table_bytes = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in table)
    offset = 14 + len(info) + len(table_bytes)
    return (b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info +
            table_bytes + pixels)


def rows(width, height, bits, value):
    stride = (width * bits + 31) // 32 * 4
    out = b""
    for y in range(height):
        row = bytearray(stride)
        for x in range(width):
            v = value(x, y)
            if bits < 8:
                bit = x * bits
                row[bit // 8] |= v << (8 - bits - bit % 8)
            else:
                row[x * bits // 8:x * bits // 8 + bits // 8] = v.to_bytes(bits // 8, "little")
        out += bytes(row)
    return out


def table(n):
    return [((i * 53) % 256, (i * 101) % 256, (i * 197 + 17) % 256) for i in range(n)]


def bitmaps():
    w, h = 5, 3
    seeds = {
        "bits1": bmp(w, h, 1, rows(w, h, 1, lambda x, y: (x + y) & 1), table=table(2)),
        "bits4": bmp(w, h, 4, rows(w, h, 4, lambda x, y: (x * 3 + y) & 15), table=table(16)),
        "bits4_used5": bmp(w, h, 4, rows(w, h, 4, lambda x, y: (x + y) % 5), table=table(5),
                           colors_used=5),
        "bits8": bmp(w, h, 8, rows(w, h, 8, lambda x, y: x * 40 + y), table=table(256)),
        "bits16": bmp(w, h, 16, rows(w, h, 16, lambda x, y: x * 1000 + y * 7)),
        "bits16_565": bmp(w, h, 16, rows(w, h, 16, lambda x, y: x * 4000 + y), compression=3,
                          masks=(0xF800, 0x07E0, 0x001F)),
        "bits24": bmp(w, h, 24, rows(w, h, 24, lambda x, y: x * 0x30201 + y * 0x10101)),
        "bits24_top_down": bmp(w, -h, 24, rows(w, h, 24, lambda x, y: x * 0x102030 + y)),
        "bits32": bmp(w, h, 32, rows(w, h, 32, lambda x, y: x * 0x30201 + y)),
        "bits32_bitfields": bmp(w, h, 32, rows(w, h, 32, lambda x, y: x << 24 | y << 16),
                                compression=3, masks=(0xFF000000, 0x00FF0000, 0x0000FF00)),
        "bits32_alpha_bitfields": bmp(w, h, 32, rows(w, h, 32, lambda x, y: x * 0x1010101),
                                      compression=6, masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000)),
        "v3_header_52": bmp(w, h, 16, rows(w, h, 16, lambda x, y: x * 999), compression=3,
                            info_size=52, masks=(0x7C00, 0x03E0, 0x001F)),
        "v4_header_108": bmp(w, h, 32, rows(w, h, 32, lambda x, y: x * 0x10203), compression=3,
                             info_size=108, masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000)),
        "v5_header_124": bmp(w, h, 24, rows(w, h, 24, lambda x, y: x * 0x40404), info_size=124),
        "rle8": bmp(6, 3, 8, bytes([3, 1, 0, 2, 1, 2, 0, 0, 0, 3, 4, 5, 6, 0, 0, 0, 2, 2, 1,
                                    2, 7, 0, 1]), compression=1, table=table(256)),
        "rle4": bmp(6, 3, 4, bytes([4, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 2, 1, 1, 2, 0x67, 0,
                                    1]), compression=2, table=table(16)),
        "os2_core_24": bmp(w, h, 24, rows(w, h, 24, lambda x, y: x * 0x20406), info_size=12),
        "os2_core_8": bmp(w, h, 8, rows(w, h, 8, lambda x, y: x + y), info_size=12,
                          table=table(256)),
        "not_a_bitmap": b"This is not a picture.\n",
    }
    for name, data in seeds.items():
        write("bitmap", name, data)
    small = bmp(2, 2, 24, rows(2, 2, 24, lambda x, y: 0x123456 * (x + 1) + y))
    for n in range(1, len(small)):
        write("bitmap", "bits24_cut_%03d" % n, small[:n])


# --- texts -------------------------------------------------------------------------------------

def texts():
    angles = ["N 48*15.750'", "48 15.75 N", "W 123*30.125'", "N 48*15'45.0\"", "-48 15",
              "48 15 S", "-48 15 S", "-0 30", "0 30 S", "12.5.7", "48 15 30 99", "'48", "S",
              "", "abc", "E 8.54321*", "s 33*51'35.9\"", "+12 -30", "--5", ".", "1" * 400,
              "0." + "0" * 400 + "1", "179.9999999999 W", "48\x0015"]
    for i, text in enumerate(angles):
        write("parse_angle", "angle_%02d" % i, text)
    zones = ["10U", "u10", "10", "1O", "", "05D", "60X", "61C", " -7x", "+32v",
             "99999999999999999999Z", "x10y", "\t33\n", "I", "0C"]
    for i, text in enumerate(zones):
        write("zone_text", "zone_%02d" % i, text)


if __name__ == "__main__":
    for target in ("map_file", "cli_info", "bitmap", "parse_angle", "zone_text"):
        shutil.rmtree(os.path.join(CORPUS, target), ignore_errors=True)
    map_files()
    bitmaps()
    texts()
