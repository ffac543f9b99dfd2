#!/usr/bin/env python3
"""Draws the "Saving..." animation (resource 6941): a document flies from the left into a
database drum, which lights up as it swallows the document. Writes an animated GIF that loops
forever, with a transparent background, using the standard library only.

usage: saving_animation.py <output.gif>
"""

import math
import struct
import sys

WIDTH, HEIGHT = 96, 40
DELAY_CS = 9  # per frame, in hundredths of a second
TRAVEL_FRAMES = 10

PALETTE = [
    (0xFF, 0xFF, 0xFF),  # 0 transparent background
    (0x2A, 0x33, 0x45),  # 1 outline
    (0xFB, 0xFB, 0xF7),  # 2 paper
    (0xD5, 0xD9, 0xE0),  # 3 folded corner
    (0xD8, 0xE6, 0xF5),  # 4 drum, lit side
    (0x9C, 0xB8, 0xD8),  # 5 drum, middle
    (0x5F, 0x82, 0xAD),  # 6 drum, shaded side
    (0xE9, 0xF1, 0xFA),  # 7 drum, lid
    (0xFF, 0xE2, 0x6B),  # 8 glow of the lid
    (0xB5, 0xC6, 0xDC),  # 9 motion trail
    (0x2E, 0xA0, 0x43),  # 10 base A
    (0x2F, 0x6F, 0xD6),  # 11 base C
    (0xE8, 0xA3, 0x17),  # 12 base G
    (0xD6, 0x33, 0x33),  # 13 base T
    (0x00, 0x00, 0x00),  # 14, 15 unused: the table must hold a power of two
    (0x00, 0x00, 0x00),
]
TRANSPARENT, OUTLINE, PAPER, FOLD = 0, 1, 2, 3
LIT, MIDDLE, SHADED, LID, GLOW, TRAIL = 4, 5, 6, 7, 8, 9
BASES = (10, 11, 12, 13)

DRUM_X, DRUM_RX, DRUM_TOP, DRUM_BOTTOM, DRUM_RY = 80, 11, 11, 33, 4


class Canvas:
    def __init__(self):
        self.pixels = [[TRANSPARENT] * WIDTH for _ in range(HEIGHT)]

    def paint(self, inside, colour_at):
        """Fills the shape inside(x, y) with colour_at(x, y) and outlines its edge."""
        for y in range(HEIGHT):
            for x in range(WIDTH):
                if not inside(x, y):
                    continue
                edge = not all(inside(x + dx, y + dy)
                               for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                self.pixels[y][x] = OUTLINE if edge else colour_at(x, y)

    def put(self, x, y, colour):
        if 0 <= x < WIDTH and 0 <= y < HEIGHT:
            self.pixels[y][x] = colour


def in_ellipse(x, y, cx, cy, rx, ry):
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def draw_drum(canvas, lid_colour):
    def body(x, y):
        return (abs(x - DRUM_X) <= DRUM_RX and DRUM_TOP <= y <= DRUM_BOTTOM) or \
            in_ellipse(x, y, DRUM_X, DRUM_BOTTOM, DRUM_RX + 0.5, DRUM_RY)

    def shade(x, y):
        offset = x - DRUM_X
        return LIT if -4 <= offset <= 1 else (SHADED if offset > 5 else MIDDLE)

    canvas.paint(body, shade)
    for band_y in (18, 25):  # the rims of the drum's discs
        for x in range(DRUM_X - DRUM_RX + 1, DRUM_X + DRUM_RX):
            dy = DRUM_RY * math.sqrt(max(0.0, 1 - ((x - DRUM_X) / DRUM_RX) ** 2))
            canvas.put(x, round(band_y + dy), OUTLINE)
    canvas.paint(lambda x, y: in_ellipse(x, y, DRUM_X, DRUM_TOP, DRUM_RX + 0.5, DRUM_RY),
                 lambda x, y: lid_colour)


def draw_document(canvas, cx, cy, width, height):
    left, top = round(cx - width / 2), round(cy - height / 2)
    right, bottom = left + width - 1, top + height - 1
    fold = max(2, width // 3)

    def sheet(x, y):
        return left <= x <= right and top <= y <= bottom and x - (right - fold) <= y - top

    def paper(x, y):
        in_fold = x >= right - fold and y <= top + fold
        return FOLD if in_fold else PAPER

    canvas.paint(sheet, paper)
    for row, y in enumerate(range(top + fold + 2, bottom - 1, 3)):  # a sequence, in base colours
        for x in range(left + 2, right - 1):
            canvas.put(x, y, BASES[(x // 2 + row) % 4])


def frames():
    result = []
    path = []
    for i in range(TRAVEL_FRAMES):
        t = i / (TRAVEL_FRAMES - 1)
        x = 14 + (DRUM_X - 14) * t
        y = 20 + (DRUM_TOP - 2 - 20) * t - 8 * math.sin(math.pi * t)
        path.append((x, y))
        canvas = Canvas()
        draw_drum(canvas, LID)
        for tx, ty in path[-4:-1]:  # the trail it leaves
            for dx, dy in ((0, 0), (1, 0), (0, 1), (1, 1)):
                canvas.put(round(tx) + dx, round(ty) + dy, TRAIL)
        draw_document(canvas, x, y, round(14 - 8 * t), round(18 - 10 * t))
        result.append(canvas.pixels)
    for lid in (GLOW, LID):  # the drum takes the document in
        canvas = Canvas()
        draw_drum(canvas, lid)
        result.append(canvas.pixels)
    return result


def lzw(indices, min_code_size):
    """The GIF flavour of LZW: variable code width from min_code_size + 1 up to 12 bits."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, bit_buffer, bit_count = bytearray(), 0, 0

    def emit(code, width):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += width
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    def fresh_table():
        return {(None, i): i for i in range(clear)}, end + 1, min_code_size + 1

    table, next_code, width = fresh_table()
    emit(clear, width)
    prefix = None
    for index in indices:
        key = (prefix, index)
        if key in table:
            prefix = table[key]
            continue
        emit(prefix, width)
        if next_code == 4096:
            emit(clear, width)
            table, next_code, width = fresh_table()
        else:
            table[key] = next_code
            # The decoder learns each code one step later, so the width grows only once a
            # code that needs the wider width has been made.
            if next_code == 1 << width and width < 12:
                width += 1
            next_code += 1
        prefix = table[(None, index)]
    emit(prefix, width)
    emit(end, width)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def sub_blocks(data):
    blocks = bytearray()
    for start in range(0, len(data), 255):
        chunk = data[start:start + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks) + b"\x00"


def gif(all_frames):
    colour_bits = 4
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", WIDTH, HEIGHT, 0xF0 | (colour_bits - 1), TRANSPARENT, 0)
    data += b"".join(bytes(rgb) for rgb in PALETTE)
    data += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop forever
    for pixels in all_frames:
        # Disposal 2 clears each frame to the background before the next, so that the
        # transparent pixels do not keep what the previous frame drew.
        data += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, (2 << 2) | 1, DELAY_CS, TRANSPARENT, 0)
        data += struct.pack("<BHHHHB", 0x2C, 0, 0, WIDTH, HEIGHT, 0)
        data += bytes([colour_bits])
        data += sub_blocks(lzw([c for row in pixels for c in row], colour_bits))
    data += b"\x3B"
    return bytes(data)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[-1])
    with open(sys.argv[1], "wb") as output:
        output.write(gif(frames()))


if __name__ == "__main__":
    main()
