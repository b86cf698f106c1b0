#!/usr/bin/env python3
"""Draws the program's icons and dialog bitmap: a band of eight coloured ornaments
around a dark disc, in the colours of the assembly's meshes.

Run from the repository root: python3 tools/make_images.py
Writes resources/tilo.ico (icon group "ID_APP"), resources/tilo104.ico (icon 104)
and resources/tilo106.bmp (bitmap 106). Deterministic; standard library only.
"""
import math
import struct

COLOURS = [(230, 230, 230), (0, 178, 13), (255, 170, 0), (51, 153, 255),
           (51, 153, 255), (230, 0, 0), (0, 0, 230), (0, 0, 230)]


def render(size, background):
    """RGBA rows, top first, supersampled 4x4."""
    rows = []
    c = size / 2.0
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(4):
                for sx in range(4):
                    x = (px + (sx + 0.5) / 4 - c) / c
                    y = (py + (sy + 0.5) / 4 - c) / c
                    col = sample(x, y, background)
                    for i in range(4):
                        acc[i] += col[i]
            row.append(tuple(int(round(v / 16)) for v in acc))
        rows.append(row)
    return rows


def sample(x, y, background):
    r = math.hypot(x, y)
    a = math.atan2(y, x)
    if 0.58 <= r <= 0.94:
        k = int(((a + math.pi) / (2 * math.pi)) * 8) % 8
        mid = -math.pi + (k + 0.5) * (2 * math.pi / 8)
        da = abs((a - mid + math.pi) % (2 * math.pi) - math.pi)
        # A rounded lozenge per sector: narrow at the rims, wide at mid-band.
        t = 1.0 - abs(r - 0.76) / 0.18
        if da < 0.33 * t + 0.05:
            shade = 0.65 + 0.35 * max(0.0, math.cos(a - 2.2))
            rr, gg, bb = COLOURS[k]
            return (rr * shade, gg * shade, bb * shade, 255)
    if r <= 0.52:
        g = 40 + 40 * (1 - r / 0.52)
        return (g * 0.6, g * 0.6, g, 255)
    if background is not None:
        return background + (255,)
    return (0, 0, 0, 0)


def icon_image(size):
    rows = render(size, None)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(rows) for p in row)
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # alpha carries the shape; AND mask all opaque
    return header + pixels + mask


def write_ico(path, sizes):
    images = [icon_image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


def portrait(width, height, emblem):
    """The emblem over a night-blue field that darkens downwards, for the frame-rate
    warning's picture slot (161 x 215 dialog units, 240 x 348 pixels at 96 dpi)."""
    rows = []
    for y in range(height):
        t = y / (height - 1)
        rows.append([(int(18 * (1 - t)), int(24 * (1 - t)), int(60 * (1 - t) + 8))] * width)
    art = render(emblem, None)
    left, top = (width - emblem) // 2, (height - emblem) // 3
    for y, row in enumerate(art):
        for x, (r, g, b, a) in enumerate(row):
            under = rows[top + y][left + x]
            k = a / 255.0
            rows[top + y][left + x] = tuple(int(round(c * k + u * (1 - k))) for c, u in zip((r, g, b), under))
    return rows


def write_bmp(path, width, height, emblem):
    rows = portrait(width, height, emblem)
    stride = (width * 3 + 3) & ~3
    data = b''
    for row in reversed(rows):
        line = b''.join(bytes((p[2], p[1], p[0])) for p in row)
        data += line + bytes(stride - len(line))
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


if __name__ == '__main__':
    write_ico('resources/tilo.ico', [48, 32, 16])
    write_ico('resources/tilo104.ico', [32])
    write_bmp('resources/tilo106.bmp', 240, 348, 208)
