#!/usr/bin/env python3
"""Pixel questions about window screenshots, for the Wine end-to-end test.

  pixels.py offset IMG                 -> "BX CY": client origin inside the outer window
  pixels.py busy IMG X Y W H           -> pixels of the rectangle that differ from the
                                          client background (client coordinates)
  pixels.py differ IMG1 IMG2 X Y W H   -> pixels of the rectangle that differ between
                                          two screenshots (client coordinates)

Screenshots are read through ImageMagick's convert as binary PPM, so only the
standard library is needed here.
"""
import subprocess
import sys


class Picture:
    def __init__(self, path):
        data = subprocess.run(["convert", path, "ppm:-"], check=True,
                              stdout=subprocess.PIPE).stdout
        fields = []
        pos = 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos) + 1
                continue
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise SystemExit("pixels.py: unexpected picture format of " + path)
        self.width = int(fields[1])
        self.height = int(fields[2])
        self.rgb = data[pos + 1:]

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.rgb[i:i + 3])


def client_offset(picture):
    """Border and caption of the Wine-drawn frame, found from the home page
    button (client x 370, y 130, in both views): its raised edge starts with
    a white line at its top and left. The innermost frame line has the
    client's own colour, so the frame alone does not show where it ends."""
    white = (255, 255, 255)
    column = 450
    top = next((y for y in range(100, 200) if picture.at(column, y) == white), None)
    if top is None:
        raise SystemExit("pixels.py: home page button not found")
    caption = top - 130
    row = top + 10
    left = next((x for x in range(340, 400) if picture.at(x, row) == white), None)
    if left is None:
        raise SystemExit("pixels.py: home page button not found")
    border = left - 370
    # Client (445, 65) lies between the choosers and the start button, and
    # between the pitch controls and the right icon: empty in both views.
    background = picture.at(border + 445, caption + 65)
    return border, caption, background


def count_busy(picture, x, y, w, h):
    bx, cy, background = client_offset(picture)
    return sum(1 for j in range(y, y + h) for i in range(x, x + w)
               if picture.at(bx + i, cy + j) != background)


def count_differ(first, second, x, y, w, h):
    bx, cy, _ = client_offset(first)
    return sum(1 for j in range(y, y + h) for i in range(x, x + w)
               if first.at(bx + i, cy + j) != second.at(bx + i, cy + j))


def main(args):
    if len(args) == 2 and args[0] == "offset":
        bx, cy, _ = client_offset(Picture(args[1]))
        print(bx, cy)
    elif len(args) == 6 and args[0] == "busy":
        print(count_busy(Picture(args[1]), *map(int, args[2:])))
    elif len(args) == 7 and args[0] == "differ":
        print(count_differ(Picture(args[1]), Picture(args[2]), *map(int, args[3:])))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
