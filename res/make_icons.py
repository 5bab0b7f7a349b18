#!/usr/bin/env python3
"""Draws the program's two icons and writes them as .ico files.

icons/zimbalo.ico (icon 107): 32x32 in 2 colours and 32x32 in 16 colours.
icons/zimbalo_small.ico (icon 108): 16x16 in 24-bit colour.
The picture is a microphone with sound waves at its right, drawn from simple
shapes so that the files can be made again at any time: python3 make_icons.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def microphone(size):
    """Returns a size x size grid of shape codes, row 0 at the top:
    0 background, 1 microphone head, 2 stand, 3 sound waves."""
    s = size / 32.0
    grid = [[0] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            px, py = (x + 0.5) / s, (y + 0.5) / s
            # Rounded head: a capsule from y 4 to 18, x 9 to 19.
            cx, top, bottom, radius = 14.0, 9.0, 13.0, 5.0
            dy = 0.0 if top <= py <= bottom else min(abs(py - top), abs(py - bottom))
            if (px - cx) ** 2 + dy ** 2 <= radius ** 2:
                grid[y][x] = 1
                continue
            # Stand: a cradle arc below the head, a stem and a foot.
            arc = ((px - cx) ** 2 + (py - 14.0) ** 2) ** 0.5
            if 7.0 <= arc <= 8.6 and py >= 14.0:
                grid[y][x] = 2
            elif 13.0 <= px <= 15.5 and 21.5 <= py <= 26.5:
                grid[y][x] = 2
            elif 8.0 <= px <= 21.0 and 26.0 <= py <= 28.0:
                grid[y][x] = 2
            # Two sound waves to the right of the head.
            for wave_radius in (10.5, 14.0):
                d = ((px - cx) ** 2 + (py - 11.0) ** 2) ** 0.5
                if abs(d - wave_radius) <= 0.9 and px > cx + 6.0 and abs(py - 11.0) < wave_radius * 0.6:
                    grid[y][x] = 3
    return grid


def bitmap_header(width, height, bits, colours):
    # The height counts the colour image and the mask together.
    return struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, bits, 0, 0, 0, 0, colours, 0)


def row_bytes(width, bits):
    return ((width * bits + 31) // 32) * 4


def pack_rows(grid, bits, pixel_value):
    """Bottom-up rows, each padded to 4 bytes."""
    size = len(grid)
    out = bytearray()
    for y in reversed(range(size)):
        row = bytearray(row_bytes(size, bits))
        for x in range(size):
            value = pixel_value(grid[y][x])
            if bits == 24:
                row[x * 3:x * 3 + 3] = bytes(value)
            else:
                per_byte = 8 // bits
                shift = (per_byte - 1 - x % per_byte) * bits
                row[x // per_byte] |= value << shift
        out += row
    return bytes(out)


def mask_rows(grid):
    # Every pixel is opaque: the picture has its own background colour.
    return pack_rows(grid, 1, lambda code: 0)


def palette(colours):
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in colours)


def image_2_colours(size):
    grid = microphone(size)
    colours = [(255, 255, 255), (0, 0, 0)]
    pixels = pack_rows(grid, 1, lambda code: 0 if code == 0 else 1)
    return bitmap_header(size, size, 1, 2) + palette(colours) + pixels + mask_rows(grid), 2, 1


def image_16_colours(size):
    grid = microphone(size)
    # The standard 16-colour palette; used here: white, dark grey, green, blue.
    colours = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
               (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
               (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
               (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
    index = {0: 15, 1: 8, 2: 0, 3: 10}
    pixels = pack_rows(grid, 4, lambda code: index[code])
    return bitmap_header(size, size, 4, 16) + palette(colours) + pixels + mask_rows(grid), 16, 4


def image_24_bit(size):
    grid = microphone(size)
    # Blue, green, red byte order.
    rgb = {0: (255, 255, 255), 1: (70, 70, 80), 2: (20, 20, 20), 3: (0, 200, 0)}
    pixels = pack_rows(grid, 24, lambda code: (rgb[code][2], rgb[code][1], rgb[code][0]))
    return bitmap_header(size, size, 24, 0) + pixels + mask_rows(grid), 0, 24


def write_ico(path, images):
    """images: list of (size, (data, colour_count, bits))."""
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, (data, colour_count, bits) in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, colour_count % 256, 0, 1, bits,
                           len(data), offset)
        offset += len(data)
    for _, (data, _, _) in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


def main():
    icons = os.path.join(HERE, 'icons')
    os.makedirs(icons, exist_ok=True)
    write_ico(os.path.join(icons, 'zimbalo.ico'), [(32, image_2_colours(32)), (32, image_16_colours(32))])
    write_ico(os.path.join(icons, 'zimbalo_small.ico'), [(16, image_24_bit(16))])


if __name__ == '__main__':
    main()
