#!/usr/bin/env bash
# Draws the built-in world map, resources/worldmap.bmp: 998 x 500 pixels, 4 bits per pixel with
# the 16 standard system colours as its colour table, on a plain latitude/longitude grid
# (180 W at the left edge to 180 E at the right, 90 N at the top to 90 S at the bottom, grid lines
# every 30 degrees), with a caption that marks it as a demonstration map.
#
# Only needed to make the picture again; the program embeds the committed file. Needs the Debian
# packages gmt and gmt-gshhg-low (coastlines and borders), imagemagick (text) and python3:
#   apt-get install gmt gmt-gshhg-low imagemagick python3
# Run from anywhere: resources/make-world-map.sh [output.bmp]
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-$here/worldmap.bmp}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

W=998
H=500
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
[ -f "$font" ] || font=/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf

cd "$work"
export GMT_USERDIR="$work" GMT_TMPDIR="$work"

# Land mask, one value per pixel (pixel registration): 1 land, 0 sea and lakes.
gmt grdlandmask -R-180/180/-90/90 -I${W}+n/${H}+n -r -Dl -A0/0/1 -N0/1/0/1/0 -Gmask.nc
gmt grd2xyz mask.nc -ZTLa >mask.txt
# National borders as line segments in longitude/latitude.
gmt coast -R-180/180/-90/90 -Dl -N1 -M >borders.txt

# Text layers, white on black, drawn without anti-aliasing so that every pixel is either on or off.
text_layer() { # name pointsize then pairs of "x,y text"
    local name=$1 size=$2
    shift 2
    local args=()
    while [ $# -gt 0 ]; do
        args+=(-annotate "+${1%%,*}+${1#*,}" "$2")
        shift 2
    done
    convert -size ${W}x${H} xc:black +antialias -fill white -font "$font" -pointsize "$size" \
        "${args[@]}" -depth 8 "$name.pgm"
}

# Grid labels: longitudes along the top edge, latitudes along the left edge.
labels=()
for lon in -150 -120 -90 -60 -30 0 30 60 90 120 150; do
    x=$(((lon + 180) * W / 360 + 3))
    if [ "$lon" -lt 0 ]; then t="$((-lon))W"; elif [ "$lon" -gt 0 ]; then t="${lon}E"; else t="0"; fi
    labels+=("$x,11" "$t")
done
for lat in 60 30 0 -30 -60; do
    y=$(((90 - lat) * H / 180 - 3))
    if [ "$lat" -lt 0 ]; then t="$((-lat))S"; elif [ "$lat" -gt 0 ]; then t="${lat}N"; else t="0"; fi
    labels+=("3,$y" "$t")
done
text_layer labels 9 "${labels[@]}"
# The caption, centred over the South Atlantic and the Indian Ocean.
convert -size ${W}x${H} xc:black +antialias -fill white -font "$font" -pointsize 13 \
    -gravity north -annotate +0+370 "DEMONSTRATION MAP - NOT FOR NAVIGATION" -depth 8 caption.pgm

python3 - "$out" "$W" "$H" <<'PY'
import struct
import sys

out, W, H = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])

# The 16 standard system colours in their usual order, as (red, green, blue).
VGA = [(0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
       (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
       (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
       (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF)]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

SEA, LAND, ICE, COAST, BORDER, GRID, EQUATOR = NAVY, GREEN, WHITE, BLACK, OLIVE, BLUE, TEAL

with open("mask.txt") as f:
    land = [int(float(v)) for v in f.read().split()]
assert len(land) == W * H, len(land)


def is_land(x, y):
    return 0 <= x < W and 0 <= y < H and land[y * W + x] == 1


def lat_of(y):
    return 90.0 - (y + 0.5) * 180.0 / H


px = [LAND if v else SEA for v in land]
# Ice: Antarctica, and Greenland as the land connected to a point in its interior.
for y in range(H):
    if lat_of(y) < -60.0:
        for x in range(W):
            if land[y * W + x]:
                px[y * W + x] = ICE
gx, gy = int((-40.0 + 180.0) * W / 360.0), int((90.0 - 75.0) * H / 180.0)
todo = [(gx, gy)] if is_land(gx, gy) else []
while todo:
    x, y = todo.pop()
    if is_land(x, y) and px[y * W + x] != ICE:
        px[y * W + x] = ICE
        todo += [(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)]


def to_px(lon, lat):
    return (lon + 180.0) * W / 360.0, (90.0 - lat) * H / 180.0


def put(x, y, c, only_land=False):
    if 0 <= x < W and 0 <= y < H and (not only_land or land[y * W + x]):
        px[y * W + x] = c


# Borders: straight segments between consecutive points, sampled at half-pixel steps.
seg = []


def draw_polyline(points):
    for (a, b), (c, d) in zip(points, points[1:]):
        if abs(a - c) > 180:  # a segment across the date line
            continue
        x0, y0 = to_px(a, b)
        x1, y1 = to_px(c, d)
        n = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        for i in range(n + 1):
            t = i / n
            put(int(x0 + (x1 - x0) * t), int(y0 + (y1 - y0) * t), BORDER, only_land=True)


with open("borders.txt") as f:
    for line in f:
        if line.startswith(">"):
            draw_polyline(seg)
            seg = []
        elif line.strip():
            lon, lat = map(float, line.split()[:2])
            seg.append((lon, lat))
draw_polyline(seg)

# Grid every 30 degrees, dotted, in a darker colour at the prime meridian and the equator. Each
# line sits on the pixel that holds its longitude or latitude under the map's calibration, where
# the picture's outer edges are 180 W, 180 E, 90 N and 90 S: pixel x spans the longitudes from
# -180 + 360 x / W to -180 + 360 (x + 1) / W.
for lon in range(-150, 180, 30):
    x = (lon + 180) * W // 360
    for y in range(H):
        if y % 3 != 2:
            px[y * W + x] = EQUATOR if lon == 0 else GRID
for lat in range(-60, 90, 30):
    y = (90 - lat) * H // 180
    for x in range(W):
        if x % 3 != 2:
            px[y * W + x] = EQUATOR if lat == 0 else GRID

# Coastlines: land pixels next to the sea.
for y in range(H):
    for x in range(W):
        if land[y * W + x] and not all(
                is_land(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))
                if 0 <= x + dx < W and 0 <= y + dy < H):
            px[y * W + x] = COAST


def read_pgm(name):
    with open(name, "rb") as f:
        data = f.read()
    parts = data.split(maxsplit=4)
    assert parts[0] == b"P5" and int(parts[1]) == W and int(parts[2]) == H, parts[:4]
    return parts[4][: W * H]


def stamp(name, fill, outline):
    mask = read_pgm(name)
    on = lambda x, y: 0 <= x < W and 0 <= y < H and mask[y * W + x] > 127
    for y in range(H):
        for x in range(W):
            if not on(x, y) and any(on(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                px[y * W + x] = outline
    for y in range(H):
        for x in range(W):
            if on(x, y):
                px[y * W + x] = fill


stamp("labels.pgm", WHITE, BLACK)
stamp("caption.pgm", YELLOW, BLACK)

# The frame.
for x in range(W):
    px[x] = px[(H - 1) * W + x] = BLACK
for y in range(H):
    px[y * W] = px[y * W + W - 1] = BLACK

# A bottom-up BMP with BITMAPINFOHEADER, BI_RGB, 4 bits per pixel, 16-entry colour table.
stride = ((W * 4 + 31) // 32) * 4
table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in VGA)
off = 14 + 40 + len(table)
rows = bytearray()
for y in range(H - 1, -1, -1):
    row = bytearray(stride)
    for x in range(W):
        row[x // 2] |= px[y * W + x] << (0 if x % 2 else 4)
    rows += row
header = struct.pack("<2sIHHI", b"BM", off + len(rows), 0, 0, off)
info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 4, 0, len(rows), 2835, 2835, 16, 16)
with open(out, "wb") as f:
    f.write(header + info + table + rows)
print(f"wrote {out}: {W} x {H}, 4 bits per pixel, {off + len(rows)} bytes")
PY
