#!/usr/bin/env python3
"""Draws the program's icon and the seek slider's skin, and writes them as
the BMP and ICO files that pictaro.rc compiles in. Run from any folder:
    python3 app/res/art/make_art.py
Pure Python, so the art can be remade anywhere the sources are."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.dirname(HERE)

WHITE = (255, 255, 255)
RED = (255, 0, 0)
THUMB_FACE = (206, 215, 231)
THUMB_LIGHT = (236, 240, 247)
THUMB_DARK = (140, 151, 173)
GREEN_PANEL = (24, 190, 24)
ORANGE_PANEL = (255, 207, 0)
TRACK_GREEN = (148, 199, 148)
TRACK_GREEN_EDGE = (120, 178, 120)


def bmp24(pixels):
    """pixels: rows top first of (r, g, b); returns a bottom-up 24-bit BMP."""
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        body += line
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(body), 0, 0, 14 + len(header))
    return file_header + header + bytes(body)


def grey(t):
    """t in 0..1 from the groove's darkest grey to its lightest."""
    lo, hi = (181, 182, 181), (239, 239, 239)
    return tuple(round(a + (b - a) * t) for a, b in zip(lo, hi))


def track(active):
    width, height = 240, 17
    rows = [[WHITE] * width for _ in range(height)]
    top, bottom = 3, 12  # groove rows, inside a white border
    for y in range(top, bottom + 1):
        t = (y - top) / (bottom - top)
        for x in range(2, width - 2):
            rows[y][x] = grey(t)
    for y in range(top, bottom + 1):  # rounded groove ends
        rows[y][2] = rows[y][width - 3] = grey(0.5)
    rows[top][2] = rows[top][width - 3] = WHITE
    rows[bottom][2] = rows[bottom][width - 3] = WHITE
    if active:
        for y in range(4, 12):
            for x in range(3, width - 3):
                rows[y][x] = TRACK_GREEN_EDGE if y in (4, 11) else TRACK_GREEN
    return rows


def thumb(panel):
    width, height = 23, 11
    rows = [[THUMB_FACE] * width for _ in range(height)]
    for x in range(width):
        rows[0][x] = THUMB_LIGHT
        rows[height - 1][x] = THUMB_DARK
    for y in range(height):
        rows[y][0] = THUMB_LIGHT
        rows[y][width - 1] = THUMB_DARK
    for y in range(3, 8):
        for x in range(7, 16):
            rows[y][x] = panel
    # Red corners: the key colour cuts them away when drawn transparently.
    for y, xs in ((0, (0, 1, width - 2, width - 1)), (1, (0, width - 1)),
                  (height - 2, (0, width - 1)), (height - 1, (0, 1, width - 2, width - 1))):
        for x in xs:
            rows[y][x] = RED
    return rows


def icon_pixels(size):
    """RGBA rows: a blue rounded tile holding a white picture frame with a
    green hill and a red sun, the program's picture of a captured frame."""
    rows = []
    radius = size / 6
    for y in range(size):
        row = []
        for x in range(size):
            cx = min(max(x + 0.5, radius), size - radius)
            cy = min(max(y + 0.5, radius), size - radius)
            inside = (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius ** 2
            if not inside:
                row.append((0, 0, 0, 0))
                continue
            colour = (38, 92, 178)
            fx, fy = x / size, y / size
            if 0.16 <= fx <= 0.84 and 0.22 <= fy <= 0.78:
                colour = (250, 250, 250)
                if 0.22 <= fx <= 0.78 and 0.28 <= fy <= 0.72:
                    colour = (170, 214, 245)
                    if fy > 0.56 - 0.2 * (fx - 0.22):
                        colour = (46, 160, 67)
                    if (fx - 0.62) ** 2 + (fy - 0.40) ** 2 <= 0.07 ** 2:
                        colour = (230, 40, 40)
            row.append(colour + (255,))
        rows.append(row)
    return rows


def palette_index(colour, palette):
    best = min(range(len(palette)), key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))
    return best


def dib_for_icon(rows, bits):
    size = len(rows)
    and_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(and_stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    if bits == 32:
        body = bytearray()
        for row in reversed(rows):
            for r, g, b, a in row:
                body += bytes((b, g, r, a))
        palette = b""
    else:
        colours = []
        for row in rows:
            for px in row:
                if px[3] and px[:3] not in colours:
                    colours.append(px[:3])
        colours = ([(0, 0, 0)] + colours)[:256]
        colours += [(0, 0, 0)] * (256 - len(colours))
        palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
        stride = (size + 3) & ~3
        body = bytearray()
        for row in reversed(rows):
            line = bytearray(stride)
            for x, px in enumerate(row):
                line[x] = palette_index(px[:3], colours) if px[3] else 0
            body += line
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(body) + len(mask), 0, 0,
                         256 if bits == 8 else 0, 0)
    return header + palette + bytes(body) + bytes(mask)


def ico(images):
    """images: list of (size, bits)."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for size, bits in images:
        blob = dib_for_icon(icon_pixels(size), bits)
        entries.append(struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


if __name__ == "__main__":
    write("thumb_active.bmp", bmp24(thumb(ORANGE_PANEL)))  # 131
    write("track.bmp", bmp24(track(False)))                # 132
    write("track_active.bmp", bmp24(track(True)))          # 133
    write("thumb.bmp", bmp24(thumb(GREEN_PANEL)))          # 134
    write("pictaro.ico", ico([(16, 8), (32, 8), (48, 8), (16, 32), (32, 32), (48, 32)]))
