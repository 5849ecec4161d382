#!/usr/bin/python3
"""Draws Tessel's application icon and writes it to res/tessel.ico.

The icon is a blue rounded tile. Across its top runs a row of small squares,
the bytes of a record, the last one picked out in amber as the checksum byte;
below them sits a bold white check mark whose tip reaches up to that byte.

Run from anywhere, with nothing but the Python standard library:

    /usr/bin/python3 tools/make_icon.py

It rewrites res/tessel.ico. That file is committed together with this script,
so a build never needs Python. The output is the same, byte for byte, on
every run.

The file holds 13 images: 48, 32, 24 and 16 pixels in 16 colours, the same
sizes in 256 colours, a 256-pixel PNG, then 48, 32, 24 and 16 pixels in
32-bit BGRA with alpha. Every size down to 24 pixels is drawn from shapes
(rounded rectangles and a two-stroke check) with supersampled edges, their
coordinates chosen per size so that straight edges land on pixel boundaries.
The 16-pixel image keeps the tile, shows three bytes instead of four and
takes a check mark drawn by hand, pixel by pixel, because a stroke with soft
edges turns to mush at that size.

The 16-colour images use the standard VGA palette. They are drawn with hard
edges and with the design colours swapped for their VGA counterparts (blue
tile, navy outline, silver bytes, yellow checksum byte), then each pixel is
mapped to the nearest palette entry. The 256-colour images keep the
antialiased drawing and use a palette of the design colours, the tile
gradient, the blends along each seam and a 6x6x6 colour cube, again mapped
to the nearest entry. In both, pixels less than half covered are left
transparent through the AND mask.
"""

import math
import os
import struct
import zlib

OUTPUT = os.path.normpath(os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "res", "tessel.ico"))

# Colours by role, as (red, green, blue).
FULL_COLOUR = {
    "edge": (0x12, 0x35, 0x7A),    # outline of the tile
    "top": (0x3A, 0x86, 0xEA),     # tile gradient, top
    "bottom": (0x1E, 0x55, 0xBE),  # tile gradient, bottom
    "byte": (0xB9, 0xD6, 0xFA),    # data bytes
    "sum": (0xFF, 0xB8, 0x2E),     # checksum byte
    "mark": (0xFF, 0xFF, 0xFF),    # check mark
    "shade": (0x0B, 0x2A, 0x66),   # shadow under the check mark
}

VGA = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00),
    (0x80, 0x80, 0x00), (0x00, 0x00, 0x80), (0x80, 0x00, 0x80),
    (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0), (0x80, 0x80, 0x80),
    (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF),
    (0xFF, 0xFF, 0xFF),
]

VGA_COLOUR = {
    "edge": VGA[4],     # navy
    "top": VGA[12],     # blue
    "bottom": VGA[12],
    "byte": VGA[7],     # silver
    "sum": VGA[11],     # yellow
    "mark": VGA[15],    # white
    "shade": VGA[4],
}

# ---------------------------------------------------------------------------
# Geometry, per size, in pixels. Coordinates are pixel edges: x = 0 is the
# left edge of the first column, so a rectangle from 2 to 14 covers columns
# 2..13 exactly.

# The hand-drawn check mark for 16 pixels, whose top-left corner goes at the
# offset given in the layout. At this size a stroke with soft edges looks
# blurred, so every pixel is either mark or tile.
CHECK_16 = [
    "........##",
    ".......###",
    "##....###.",
    "###..###..",
    ".######...",
    "..####....",
    "...##.....",
]


def layout(size):
    """Returns the shapes for one size as a dict of plain numbers.

    tile: (x0, y0, x1, y1, corner radius); edge: outline width;
    bytes: (left, top, side, gap, count, corner radius) for the byte row;
    check: ((x, y) of the three points, half the stroke width), or pixels
    and at for a drawing; shade: how far the check's shadow drops.
    """
    if size == 256:
        return dict(tile=(8, 8, 248, 248, 44), edge=5,
                    bytes=(33, 34, 40, 10, 4, 8),
                    check=((66, 156), (106, 196), (194, 108), 21),
                    shade=6, gloss=True)
    if size == 48:
        return dict(tile=(1, 1, 47, 47, 9), edge=1,
                    bytes=(7, 7, 7, 2, 4, 2),
                    check=((12.5, 28.5), (20, 36), (36.5, 19.5), 4.2),
                    shade=1.2, gloss=False)
    if size == 32:
        return dict(tile=(1, 1, 31, 31, 6), edge=1,
                    bytes=(5, 5, 4, 2, 4, 1),
                    check=((8, 18.5), (13, 23.5), (24, 12.5), 2.9),
                    shade=1, gloss=False)
    if size == 24:
        return dict(tile=(0, 0, 24, 24, 5), edge=1,
                    bytes=(3, 4, 3, 2, 4, 0.5),
                    check=((5.5, 14), (10, 18.5), (18.5, 10), 2.2),
                    shade=0.8, gloss=False)
    if size == 16:
        return dict(tile=(0, 0, 16, 16, 3), edge=1,
                    bytes=(3, 3, 2, 2, 3, 0),
                    pixels=CHECK_16, at=(3, 6), gloss=False)
    raise ValueError(size)


def byte_boxes(plan):
    """The byte row as rounded squares (x0, y0, x1, y1, radius)."""
    left, top, side, gap, count, radius = plan
    return [(left + i * (side + gap), top, left + i * (side + gap) + side,
             top + side, radius) for i in range(count)]


# ---------------------------------------------------------------------------
# Signed distance functions: negative inside, positive outside, in pixels.

def sd_round_rect(px, py, box):
    x0, y0, x1, y1, r = box
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def sd_segment(px, py, a, b, r):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    return math.hypot(px - ax - t * dx, py - ay - t * dy) - r


def sd_check(px, py, check):
    a, b, c, r = check
    return min(sd_segment(px, py, a, b, r), sd_segment(px, py, b, c, r))


def coverage(sdf, x, y, grid):
    """Fraction of pixel (x, y) inside the shape. Only pixels the edge can
    cross are supersampled, on a grid x grid pattern."""
    d = sdf(x + 0.5, y + 0.5)
    if d >= 0.75:
        return 0.0
    if d <= -0.75:
        return 1.0
    inside = 0
    for j in range(grid):
        sy = y + (j + 0.5) / grid
        for i in range(grid):
            if sdf(x + (i + 0.5) / grid, sy) < 0:
                inside += 1
    return inside / (grid * grid)


# ---------------------------------------------------------------------------
# Rendering.

def mix(a, b, t):
    return tuple(a[k] + (b[k] - a[k]) * t for k in range(3))


def over(dst, colour, alpha):
    """Composites colour at alpha over dst = [r, g, b, a] (straight alpha,
    0..1 for a, 0..255 for the channels)."""
    if alpha <= 0:
        return
    da = dst[3]
    oa = alpha + da * (1 - alpha)
    for k in range(3):
        dst[k] = (colour[k] * alpha + dst[k] * da * (1 - alpha)) / oa
    dst[3] = oa


def render(size, colours, hard=False):
    """Draws the icon at one size; returns rows of (r, g, b, a) bytes.

    With hard set, each shape covers a pixel fully or not at all (whichever
    is nearer its supersampled cover): the 16-colour palette has no shades
    between the tile and the mark, and grey fringes look worse than steps.
    """
    plan = layout(size)
    grid = 8 if size >= 128 else 6

    def cover(sdf, x, y):
        c = coverage(sdf, x, y, grid)
        return (1.0 if c >= 0.5 else 0.0) if hard else c

    tile = plan["tile"]
    edge = plan["edge"]
    x0, y0, x1, y1, r = tile
    inner = (x0 + edge, y0 + edge, x1 - edge, y1 - edge, max(r - edge, 0.5))
    boxes = byte_boxes(plan["bytes"])
    check = plan.get("check")
    pixels = set()
    if "pixels" in plan:
        ox, oy = plan["at"]
        for j, row in enumerate(plan["pixels"]):
            pixels.update((ox + i, oy + j) for i, ch in enumerate(row)
                          if ch == "#")

    def sd_tile(px, py):
        return sd_round_rect(px, py, tile)

    def sd_inner(px, py):
        return sd_round_rect(px, py, inner)

    shade_off = plan.get("shade", 0)

    def sd_shade(px, py):
        return sd_check(px, py - shade_off, check)

    def sd_mark(px, py):
        return sd_check(px, py, check)

    box_sdfs = [(lambda b: (lambda px, py: sd_round_rect(px, py, b)))(b)
                for b in boxes]

    image = []
    for y in range(size):
        t = (y + 0.5 - y0) / (y1 - y0)
        fill = mix(colours["top"], colours["bottom"], min(max(t, 0.0), 1.0))
        row = []
        for x in range(size):
            px = [0.0, 0.0, 0.0, 0.0]
            c = cover(sd_tile, x, y)
            if c:
                over(px, colours["edge"], c)
                over(px, fill, cover(sd_inner, x, y))
                if plan["gloss"] and not hard:
                    # A faint light band along the inside of the top edge:
                    # the fill less the fill moved 3 pixels down.
                    g = cover(sd_inner, x, y) - cover(sd_inner, x, y - 3)
                    if g > 0:
                        over(px, (255, 255, 255), 0.22 * g)
                for i, sdf in enumerate(box_sdfs):
                    role = "sum" if i == len(box_sdfs) - 1 else "byte"
                    over(px, colours[role], cover(sdf, x, y))
                if check is not None:
                    over(px, colours["shade"],
                         0.45 * cover(sd_shade, x, y))
                    over(px, colours["mark"], cover(sd_mark, x, y))
                elif (x, y) in pixels:
                    over(px, colours["mark"], 1.0)
            a = round(px[3] * 255)
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(v)) for v in px[:3]) + (a,))
        image.append(row)
    return image


# ---------------------------------------------------------------------------
# Palettes and colour mapping.

def distance(a, b):
    # Weighted Euclidean distance; green counts most, as it does to the eye.
    dr, dg, db = a[0] - b[0], a[1] - b[1], a[2] - b[2]
    return 2 * dr * dr + 4 * dg * dg + 3 * db * db


def nearest_index(colour, palette, cache):
    key = colour[:3]
    found = cache.get(key)
    if found is None:
        found = min(range(len(palette)),
                    key=lambda i: (distance(key, palette[i]), i))
        cache[key] = found
    return found


def palette_256():
    """A 6x6x6 cube (216 entries, black first) plus 40 entries drawn from the
    design: its colours, the tile gradient and the blends along each seam."""
    cube = [(r * 51, g * 51, b * 51)
            for r in range(6) for g in range(6) for b in range(6)]
    c = FULL_COLOUR
    mid = mix(c["top"], c["bottom"], 0.5)
    extra = [c["edge"], c["byte"], c["sum"], c["shade"]]
    extra += [mix(c["top"], c["bottom"], i / 7) for i in range(8)]
    for t in (0.25, 0.5, 0.75):
        extra.append(mix(c["edge"], mid, t))
    for t in (0.2, 0.4, 0.6, 0.8):
        extra.append(mix(mid, c["mark"], t))
        extra.append(mix(c["top"], c["mark"], t))
        extra.append(mix(c["bottom"], c["mark"], t))
    for t in (0.25, 0.5, 0.75):
        extra.append(mix(mid, c["byte"], t))
        extra.append(mix(c["top"], c["sum"], t))
        extra.append(mix(mid, c["sum"], t))
    for t in (0.3, 0.6):
        extra.append(mix(mid, c["shade"], t))
        extra.append(mix(c["shade"], c["mark"], t))
    extra = [tuple(int(round(v)) for v in e) for e in extra]
    palette = cube + extra
    assert len(palette) == 256, len(palette)
    return palette


# ---------------------------------------------------------------------------
# File formats.

def row_bytes(width, bits):
    return (width * bits + 31) // 32 * 4


def and_mask(image):
    """1-bit mask, bottom-up: a set bit lets the background show through."""
    size = len(image)
    stride = row_bytes(size, 1)
    out = bytearray()
    for row in reversed(image):
        line = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                line[x >> 3] |= 0x80 >> (x & 7)
        out += line
    return bytes(out)


def bitmap_header(size, bits, image_bytes, colours_used):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                       image_bytes, 0, 0, colours_used, 0)


def dib_indexed(image, palette, bits):
    """A palette DIB; pixels under half cover become transparent."""
    size = len(image)
    cache = {}
    stride = row_bytes(size, bits)
    cleared = []
    for row in image:
        cleared.append([p if p[3] >= 128 else (0, 0, 0, 0) for p in row])
    xor = bytearray()
    for row in reversed(cleared):
        line = bytearray(stride)
        for x, p in enumerate(row):
            index = nearest_index(p, palette, cache) if p[3] else 0
            if bits == 8:
                line[x] = index
            else:
                line[x >> 1] |= index << (4 if x % 2 == 0 else 0)
        xor += line
    mask = and_mask(cleared)
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    header = bitmap_header(size, bits, len(xor) + len(mask), len(palette))
    return header + quads + bytes(xor) + mask


def dib_bgra(image):
    size = len(image)
    xor = bytearray()
    for row in reversed(image):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask = and_mask(image)
    return bitmap_header(size, 32, len(xor) + len(mask), 0) + bytes(xor) + mask


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + \
        struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def png_rgba(image):
    """An 8-bit RGBA PNG; each row takes whichever filter leaves the smallest
    sum of residues, the usual heuristic for a compact file."""
    size = len(image)
    raw = bytearray()
    previous = bytes(size * 4)
    for row in image:
        line = bytes(v for p in row for v in p)
        best = None
        for kind in range(5):
            out = bytearray([kind])
            for i, v in enumerate(line):
                left = line[i - 4] if i >= 4 else 0
                up = previous[i]
                corner = previous[i - 4] if i >= 4 else 0
                if kind == 0:
                    pred = 0
                elif kind == 1:
                    pred = left
                elif kind == 2:
                    pred = up
                elif kind == 3:
                    pred = (left + up) // 2
                else:
                    pred = paeth(left, up, corner)
                out.append((v - pred) & 0xFF)
            score = sum(b if b < 128 else 256 - b for b in out[1:])
            if best is None or score < best[0]:
                best = (score, out)
        raw += best[1]
        previous = line
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            png_chunk(b"IEND", b""))


def ico(entries):
    """entries: (size, colour count, bit count, data) in directory order."""
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    body = b""
    for size, count, bits, data in entries:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, count, 0, 1, bits,
                           len(data), offset)
        offset += len(data)
        body += data
    return out + body


def main():
    small = (48, 32, 24, 16)
    full = {s: render(s, FULL_COLOUR) for s in small + (256,)}
    vga = {s: render(s, VGA_COLOUR, hard=True) for s in small}
    pal = palette_256()
    entries = []
    entries += [(s, 16, 4, dib_indexed(vga[s], VGA, 4)) for s in small]
    entries += [(s, 0, 8, dib_indexed(full[s], pal, 8)) for s in small]
    entries += [(256, 0, 32, png_rgba(full[256]))]
    entries += [(s, 0, 32, dib_bgra(full[s])) for s in small]
    os.makedirs(os.path.dirname(OUTPUT), exist_ok=True)
    with open(OUTPUT, "wb") as f:
        f.write(ico(entries))


if __name__ == "__main__":
    main()
