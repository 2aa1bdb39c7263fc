#!/usr/bin/env python3
"""Draws the program's clock icon and writes it as a Windows .ico file.

Usage: make_clock_icon.py OUTPUT.ico
The icon holds 16x16, 32x32 and 48x48 images, 32-bit BGRA with an AND mask.
"""
import math
import struct
import sys

FACE = (250, 250, 245)
RIM = (40, 70, 140)
HAND = (30, 30, 30)
SECOND_HAND = (200, 30, 30)


def draw_clock(size):
    """Returns rows (top to bottom) of (r, g, b, a) pixels."""
    c = (size - 1) / 2.0
    radius = size / 2.0 - 0.5
    rim = max(1.0, size / 12.0)
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def on_segment(x, y, angle, length, width):
        dx, dy = math.sin(angle), -math.cos(angle)
        px, py = x - c, y - c
        t = px * dx + py * dy
        if t < -width or t > length:
            return False
        return abs(px * dy - py * dx) <= width / 2.0

    for y in range(size):
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if d > radius:
                continue
            colour = RIM if d > radius - rim else FACE
            # hour ticks
            ang = math.atan2(x - c, -(y - c))
            if radius - rim * 2.5 < d <= radius - rim:
                step = math.pi / 6
                if abs((ang + step / 2) % step - step / 2) < 0.06 * 12 / size * 2:
                    colour = HAND
            if on_segment(x, y, math.radians(300), radius * 0.5, max(1.5, size / 14)):
                colour = HAND  # hour hand at ten
            if on_segment(x, y, math.radians(60), radius * 0.75, max(1.0, size / 20)):
                colour = HAND  # minute hand at ten past
            if size >= 32 and on_segment(x, y, math.radians(180), radius * 0.8, 1.0):
                colour = SECOND_HAND
            pixels[y][x] = colour + (255,)
    return pixels


def bitmap_entry(size):
    pixels = draw_clock(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(
        struct.pack("BBBB", b, g, r, a) for row in reversed(pixels) for (r, g, b, a) in row
    )
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def main():
    sizes = [16, 32, 48]
    images = [bitmap_entry(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
