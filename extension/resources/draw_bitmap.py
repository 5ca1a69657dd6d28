#!/usr/bin/env python3
"""Draws the toolbar button image: a forum speech bubble with a small arrow, 24 x 23 pixels,
16 colours (4 bits per pixel, the standard VGA palette), written as hopstart.bmp beside this file."""
import os
import struct

W, H = 24, 23
# Standard 16-colour palette; index 7 (light grey) is the toolbar's button face.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
FACE, BLACK, WHITE, BLUE, NAVY, YELLOW = 7, 0, 15, 12, 4, 11

# Rows top to bottom. '#' outline, '.' bubble, 'o' text dots, '>' arrow, ' ' face.
ART = [
    "                        ",
    "                        ",
    "   ################     ",
    "  #................#    ",
    " #..................#   ",
    " #..................#   ",
    " #..oo..oo..oo..oo..#   ",
    " #..................#   ",
    " #..oooo..ooo..ooo..#   ",
    " #..................#   ",
    " #..................#   ",
    "  #................#    ",
    "   #####..#########  >  ",
    "       #..#         >>  ",
    "       #.#    >>>>>>>>> ",
    "       ##     >>>>>>>>>>",
    "       #      >>>>>>>>> ",
    "                    >>  ",
    "                     >  ",
    "                        ",
    "                        ",
    "                        ",
    "                        ",
]
COLOURS = {" ": FACE, "#": BLACK, ".": WHITE, "o": NAVY, ">": BLUE}


def main():
    assert len(ART) == H and all(len(r) == W for r in ART)
    stride = ((W * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(ART):  # bottom-up
        line = bytearray()
        for x in range(0, W, 2):
            line.append(COLOURS[row[x]] << 4 | COLOURS[row[x + 1]])
        line.extend(b"\0" * (stride - len(line)))
        pixels += line
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "hopstart.bmp")
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


if __name__ == "__main__":
    main()
