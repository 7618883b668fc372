#!/usr/bin/env python3
"""Draws the control's toolbox bitmap (16 x 15) and icon (32 x 32 and 16 x 16),
16 colours each: a blue shield with a white "V". Writes vorlane.bmp and
vorlane.ico next to this script; the results are committed."""
import os
import struct

# The standard 16-colour palette as (red, green, blue); written as BGR quads.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLUE, WHITE, GREY, DARK = 12, 15, 7, 4  # palette indexes


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)


def draw(width, height):
    """Rows top to bottom of palette indexes; None where transparent."""
    rows = []
    cx = (width - 1) / 2.0
    for y in range(height):
        row = []
        v = y / (height - 1)
        half = (width / 2.0) * (1.0 if v < 0.55 else max(0.0, 1.0 - (v - 0.55) / 0.45))
        for x in range(width):
            dx = abs(x - cx)
            if dx > half - 0.25:
                row.append(None)
                continue
            edge = dx > half - 1.25 or y == 0
            # The "V": two strokes meeting near the bottom of the shield.
            stroke = abs(dx - (width * 0.30) * (1.0 - v / 0.8)) < max(1.0, width / 14.0) and v < 0.8
            row.append(DARK if edge else WHITE if stroke else BLUE)
        rows.append(row)
    return rows


def pack4(row, background):
    nibbles = [background if p is None else p for p in row]
    if len(nibbles) % 2:
        nibbles.append(0)
    data = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, len(nibbles), 2))
    return data + b"\0" * (-len(data) % 4)


def pack_mask(row):
    bits = 0
    out = bytearray()
    for i, p in enumerate(row):
        bits = (bits << 1) | (1 if p is None else 0)
        if i % 8 == 7:
            out.append(bits)
            bits = 0
    if len(row) % 8:
        out.append(bits << (8 - len(row) % 8))
    return bytes(out) + b"\0" * (-len(out) % 4)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 0)


def bitmap(width, height):
    rows = draw(width, height)
    pixels = b"".join(pack4(r, GREY) for r in reversed(rows))
    header = info_header(width, height, len(pixels)) + palette_bytes()
    offset = 14 + len(header)
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + header + pixels


def icon_image(size):
    rows = draw(size, size)
    xor = b"".join(pack4(r, 0) for r in reversed(rows))
    mask = b"".join(pack_mask(r) for r in reversed(rows))
    return info_header(size, size * 2, len(xor) + len(mask)) + palette_bytes() + xor + mask


def icon(sizes):
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, "vorlane.bmp"), "wb") as f:
    f.write(bitmap(16, 15))
with open(os.path.join(here, "vorlane.ico"), "wb") as f:
    f.write(icon([32, 16]))
