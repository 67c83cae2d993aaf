#!/usr/bin/env python3
"""Draws the program icon "quorlet" and writes it in the two forms we ship.

The picture is a sheet holding a list of entries, one of them selected, with
a double-headed arrow beside it: what kalvane does to its functions and
listdrag to its entries. It is drawn here, pixel by pixel, so that the
checked-in outputs can always be made again and never drift apart:

  quorlet.ico      one 32 x 32, 256-colour image with its transparency mask,
                   for the Windows resource scripts;
  quorlet_rgba.h   the same pixels as 8-bit RGBA rows, top row first, for the
                   backends that take an icon as plain pixels.

Run it from anywhere: python3 resources/make_quorlet.py
"""

import os
import struct

SIZE = 32

# Colours by role; None is transparent.
CLEAR = None
OUTLINE = (43, 58, 85)
SHEET = (248, 250, 253)
SHADOW = (150, 162, 182)
BULLET = (96, 112, 138)
BAR = (170, 181, 197)
SELECTED = (52, 118, 214)
SELECTED_EDGE = (31, 82, 160)
SELECTED_TEXT = (255, 255, 255)
ARROW = (244, 160, 36)
ARROW_EDGE = (170, 92, 10)
ARROW_LIGHT = (255, 206, 120)


def draw():
    """The picture as SIZE rows of SIZE colours (or None), top row first."""
    px = [[CLEAR] * SIZE for _ in range(SIZE)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                px[y][x] = colour

    # The sheet, with a shadow to its lower right and rounded corners.
    left, top, right, bottom = 1, 2, 19, 28
    fill(left + 1, top + 1, right + 1, bottom + 1, SHADOW)
    fill(left, top, right, bottom, OUTLINE)
    fill(left + 1, top + 1, right - 1, bottom - 1, SHEET)
    for x, y in ((left, top), (right, top), (left, bottom), (right, bottom)):
        px[y][x] = CLEAR
    px[bottom + 1][left + 1] = CLEAR
    px[top + 1][right + 1] = CLEAR

    # Five entries: a bullet and a line of text; the middle one is selected.
    for row, y in enumerate(range(5, 27, 5)):
        selected = row == 2
        if selected:
            fill(left + 1, y - 2, right - 1, y + 3, SELECTED)
            fill(left + 1, y - 2, right - 1, y - 2, SELECTED_EDGE)
            fill(left + 1, y + 3, right - 1, y + 3, SELECTED_EDGE)
        ink = SELECTED_TEXT if selected else BULLET
        fill(left + 3, y, left + 4, y + 1, ink)
        length = (10, 7, 9, 6, 8)[row]
        fill(left + 7, y, left + 6 + length, y + 1,
             SELECTED_TEXT if selected else BAR)

    # A double-headed arrow beside the sheet: heads widen from their tips,
    # rimmed in a darker tone, and a shaft joins their bases.
    centre, top_tip, bottom_tip, reach = 26, 1, 30, 5
    for step in range(reach + 1):
        for y in (top_tip + step, bottom_tip - step):
            fill(centre - step, y, centre + step, y, ARROW_EDGE)
            if 0 < step < reach:
                fill(centre - step + 1, y, centre + step - 1, y, ARROW)
    shaft_top, shaft_bottom = top_tip + reach, bottom_tip - reach
    fill(centre - 2, shaft_top + 1, centre + 2, shaft_bottom - 1, ARROW_EDGE)
    fill(centre - 1, shaft_top, centre + 1, shaft_bottom, ARROW)
    fill(centre - 1, top_tip + 2, centre - 1, bottom_tip - 2, ARROW_LIGHT)
    return px


def palette_of(px):
    """The colours in order of first use, padded with black to 256."""
    colours = []
    for row in px:
        for colour in row:
            if colour is not None and colour not in colours:
                colours.append(colour)
    # Index 0 stands behind transparent pixels, so it is black: the AND
    # mask then leaves the desktop's own colour there.
    colours.insert(0, (0, 0, 0))
    assert len(colours) <= 256
    return colours + [(0, 0, 0)] * (256 - len(colours))


def ico_bytes(px):
    palette = palette_of(px)
    index = {colour: i for i, colour in reversed(list(enumerate(palette)))}
    # Bitmap rows are stored bottom-up. 32 pixels of 8 bits fill a row
    # exactly; the mask's 32 bits are 4 bytes, also a whole 32-bit word.
    xor = bytearray()
    mask = bytearray()
    for row in reversed(px):
        xor.extend(0 if c is None else index[c] for c in row)
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c is None else 0)
        mask.extend(bits.to_bytes(4, "big"))
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    # The header's height counts the colour bitmap and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 8, 0,
                         len(xor) + len(mask), 0, 0, 256, 0)
    image = header + colours + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    # Width and height 32; 0 colours means 256; planes 1, 8 bits per pixel.
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image),
                        len(directory) + 16)
    return directory + entry + image


def rgba_header(px):
    values = []
    for row in px:
        for c in row:
            values.extend((0, 0, 0, 0) if c is None else (*c, 255))
    per_line = 12
    lines = []
    for start in range(0, len(values), per_line):
        chunk = values[start:start + per_line]
        lines.append("    " + ", ".join(f"0x{v:02x}" for v in chunk) + ",")
    return (
        "// The program icon \"quorlet\" as 32 x 32 RGBA pixels, top row first:\n"
        "// the same picture as quorlet.ico. Written by make_quorlet.py; edit\n"
        "// the drawing there and run it again rather than changing this.\n"
        "#pragma once\n"
        "\n"
        "inline constexpr unsigned char kQuorletRgba[32 * 32 * 4] = {\n"
        + "\n".join(lines)
        + "\n};\n"
    )


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    px = draw()
    with open(os.path.join(here, "quorlet.ico"), "wb") as out:
        out.write(ico_bytes(px))
    with open(os.path.join(here, "quorlet_rgba.h"), "w", newline="\n") as out:
        out.write(rgba_header(px))


if __name__ == "__main__":
    main()
