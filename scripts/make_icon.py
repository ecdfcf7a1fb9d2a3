#!/usr/bin/env python3
"""Draws the program's icon and writes it as a Windows .ico file.

The picture is a sheet of paper with a folded corner and a few lines of text, and a red round
badge with a white cross over its lower right part: a file that is going to be deleted. It is
drawn from simple shapes at 32, 48, 64 and 128 pixels, each image 32 bits per pixel (BGRA with
an AND mask), with 4x4 supersampling for smooth edges. Only the standard library is used, and
the output is the same byte for byte on every run, so the committed app.ico can be checked
against this script.

Usage: make_icon.py [output.ico]   (default: src/resources/app.ico next to this script)
"""

import math
import os
import struct
import sys

SIZES = (32, 48, 64, 128)
SUPERSAMPLE = 4

# Colours as (red, green, blue, alpha).
OUTLINE = (70, 80, 92, 255)
PAPER = (250, 251, 252, 255)
FOLD = (200, 208, 216, 255)
TEXT_LINE = (150, 160, 172, 255)
BADGE_RIM = (150, 20, 24, 255)
BADGE = (220, 42, 46, 255)
CROSS = (255, 255, 255, 255)

# The sheet, in unit coordinates (0..1, y downwards).
LEFT, TOP, RIGHT, BOTTOM = 0.14, 0.04, 0.76, 0.94
FOLD_SIZE = 0.20
EDGE = 0.045

# The badge.
BADGE_X, BADGE_Y, BADGE_R = 0.70, 0.70, 0.27
RIM = 0.035
CROSS_ARM = 0.115
CROSS_HALF_WIDTH = 0.045


def inside_polygon(x, y, points):
    """Even-odd rule point-in-polygon test."""
    result = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def sheet(inset):
    """The sheet's outline shrunk by inset, the cut corner included."""
    diagonal = inset * math.tan(math.pi / 8)
    return [
        (LEFT + inset, TOP + inset),
        (RIGHT - FOLD_SIZE - inset + diagonal, TOP + inset),
        (RIGHT - inset, TOP + FOLD_SIZE + inset - diagonal),
        (RIGHT - inset, BOTTOM - inset),
        (LEFT + inset, BOTTOM - inset),
    ]


SHEET_OUTER = sheet(0.0)
SHEET_INNER = sheet(EDGE)
FOLD_TRIANGLE = [
    (RIGHT - FOLD_SIZE, TOP),
    (RIGHT - FOLD_SIZE, TOP + FOLD_SIZE),
    (RIGHT, TOP + FOLD_SIZE),
]
TEXT_LINES = [(0.26, 0.30, 0.50), (0.26, 0.42, 0.62), (0.26, 0.54, 0.50), (0.26, 0.66, 0.40)]


def layers():
    """The shapes from back to front, each a colour and a coverage test."""
    badge_distance = lambda x, y: math.hypot(x - BADGE_X, y - BADGE_Y)
    return [
        (OUTLINE, lambda x, y: inside_polygon(x, y, SHEET_OUTER)),
        (PAPER, lambda x, y: inside_polygon(x, y, SHEET_INNER)),
        (OUTLINE, lambda x, y: inside_polygon(x, y, FOLD_TRIANGLE)),
        (
            FOLD,
            lambda x, y: inside_polygon(x, y, FOLD_TRIANGLE)
            and segment_distance(x, y, RIGHT - FOLD_SIZE, TOP, RIGHT, TOP + FOLD_SIZE) > EDGE
            and x > RIGHT - FOLD_SIZE + EDGE
            and y < TOP + FOLD_SIZE - EDGE,
        ),
        (
            TEXT_LINE,
            lambda x, y: any(
                segment_distance(x, y, x0, ly, x1, ly) < 0.028 for x0, ly, x1 in TEXT_LINES
            ),
        ),
        (BADGE_RIM, lambda x, y: badge_distance(x, y) <= BADGE_R),
        (BADGE, lambda x, y: badge_distance(x, y) <= BADGE_R - RIM),
        (
            CROSS,
            lambda x, y: min(
                segment_distance(
                    x,
                    y,
                    BADGE_X - CROSS_ARM,
                    BADGE_Y - CROSS_ARM,
                    BADGE_X + CROSS_ARM,
                    BADGE_Y + CROSS_ARM,
                ),
                segment_distance(
                    x,
                    y,
                    BADGE_X - CROSS_ARM,
                    BADGE_Y + CROSS_ARM,
                    BADGE_X + CROSS_ARM,
                    BADGE_Y - CROSS_ARM,
                ),
            )
            <= CROSS_HALF_WIDTH,
        ),
    ]


def render(size):
    """Returns size*size pixels, top row first, as (r, g, b, a) with straight alpha."""
    shapes = layers()
    pixels = []
    step = 1.0 / (size * SUPERSAMPLE)
    for row in range(size):
        for column in range(size):
            # Premultiplied sums over the subsamples.
            sum_r = sum_g = sum_b = sum_a = 0.0
            for sy in range(SUPERSAMPLE):
                y = (row * SUPERSAMPLE + sy + 0.5) * step
                for sx in range(SUPERSAMPLE):
                    x = (column * SUPERSAMPLE + sx + 0.5) * step
                    r = g = b = a = 0.0
                    for colour, covers in shapes:
                        if covers(x, y):
                            ca = colour[3] / 255.0
                            r = colour[0] * ca + r * (1 - ca)
                            g = colour[1] * ca + g * (1 - ca)
                            b = colour[2] * ca + b * (1 - ca)
                            a = ca + a * (1 - ca)
                    sum_r += r
                    sum_g += g
                    sum_b += b
                    sum_a += a
            samples = SUPERSAMPLE * SUPERSAMPLE
            alpha = sum_a / samples
            if alpha <= 0.0:
                pixels.append((0, 0, 0, 0))
                continue
            pixels.append(
                (
                    round(sum_r / samples / alpha),
                    round(sum_g / samples / alpha),
                    round(sum_b / samples / alpha),
                    round(alpha * 255),
                )
            )
    return pixels


def dib(size, pixels):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, then the 1-bit AND mask."""
    header = struct.pack(
        "<IiiHHIIiiII",
        40,  # biSize
        size,  # biWidth
        size * 2,  # biHeight: colour rows plus mask rows
        1,  # biPlanes
        32,  # biBitCount
        0,  # biCompression = BI_RGB
        0,  # biSizeImage
        0,
        0,
        0,
        0,
    )
    colour = bytearray()
    for row in reversed(range(size)):
        for r, g, b, a in pixels[row * size : (row + 1) * size]:
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(range(size)):
        line = bytearray(mask_stride)
        for column in range(size):
            if pixels[row * size + column][3] == 0:
                line[column // 8] |= 0x80 >> (column % 8)
        mask += line
    return header + bytes(colour) + bytes(mask)


def icon_file(sizes):
    images = [dib(size, render(size)) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


def main():
    if len(sys.argv) > 1:
        output = sys.argv[1]
    else:
        here = os.path.dirname(os.path.abspath(__file__))
        output = os.path.join(here, "..", "src", "resources", "app.ico")
    data = icon_file(SIZES)
    with open(output, "wb") as file:
        file.write(data)
    print(f"wrote {os.path.normpath(output)} ({len(data)} bytes)")


if __name__ == "__main__":
    main()
