#!/usr/bin/env python3
"""Renders the tray icons from their vector source (icons.txt) into .ico files.

Usage: gen_icons.py SOURCE OUTPUT_FOLDER

Each icon is drawn at 16, 20, 24, 32 and 48 pixels with 8 x 8 samples per
pixel (anti-aliased edges) and stored as 32-bit images with alpha in one .ico
file per icon. Only the standard library is used; the output is the same on
every run, so the committed icons can be checked against it.
"""
import math
import os
import struct
import sys

SIZES = (16, 20, 24, 32, 48)
SAMPLES = 8
CANVAS = 48.0


def parse_color(text):
    text = text.lstrip('#')
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def parse_point(text):
    x, y = text.split(',')
    return float(x), float(y)


def rounded_rect(p0, p1, r, steps=12):
    (x0, y0), (x1, y1) = p0, p1
    pts = []
    for cx, cy, start in ((x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)):
        for i in range(steps + 1):
            a = math.radians(start + 90.0 * i / steps)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def read_source(path):
    icons = []
    with open(path, encoding='utf-8') as f:
        for raw in f:
            line = raw.strip()  # comments are whole lines
            if not line or line.startswith('#'):
                continue
            words = line.split()
            if words[0] == 'icon':
                icons.append((words[1], []))
            elif words[0] == 'shape':
                icons[-1][1].append((parse_color(words[1]), [parse_point(w) for w in words[2:]]))
            elif words[0] == 'round':
                icons[-1][1].append((parse_color(words[1]),
                                     rounded_rect(parse_point(words[2]), parse_point(words[3]), float(words[4]))))
            else:
                raise SystemExit('unknown line: ' + raw)
    return icons


def inside(poly, x, y):
    result = False
    n = len(poly)
    for i in range(n):
        xa, ya = poly[i]
        xb, yb = poly[(i + 1) % n]
        if (ya > y) != (yb > y):
            if x < xa + (y - ya) * (xb - xa) / (yb - ya):
                result = not result
    return result


def render(shapes, size):
    """RGBA rows, top row first, straight (not premultiplied) alpha."""
    scale = CANVAS / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * scale
                    y = (py + (sy + 0.5) / SAMPLES) * scale
                    color = None
                    for c, poly in shapes:
                        if inside(poly, x, y):
                            color = c
                    if color is not None:
                        acc[0] += color[0]
                        acc[1] += color[1]
                        acc[2] += color[2]
                        acc[3] += 1
            n = SAMPLES * SAMPLES
            a = acc[3] / n
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(acc[i] / acc[3])) for i in range(3)) + (int(round(a * 255)),))
        rows.append(row)
    return rows


def bmp_entry(rows):
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def write_ico(path, images):
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    data = bytearray()
    for size, blob in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset + len(data))
        data += blob
    with open(path, 'wb') as f:
        f.write(out + data)


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    source, folder = sys.argv[1], sys.argv[2]
    os.makedirs(folder, exist_ok=True)
    for name, shapes in read_source(source):
        images = [(s, bmp_entry(render(shapes, s))) for s in SIZES]
        write_ico(os.path.join(folder, name + '.ico'), images)
        print('wrote', os.path.join(folder, name + '.ico'))


if __name__ == '__main__':
    main()
