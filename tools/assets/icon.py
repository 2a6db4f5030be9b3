#!/usr/bin/env python3
# Draws the desktop icon from the program's own pictures: a step pad lit yellow, as a step
# that is on, with the note stamp's glowing word "pa" across it. Standard library only.
#   icon.py OUT.png [SIZE]    (SIZE 128 by default)
import sys

import draw
from draw import clamp, mix, round_box

LIT = (255, 214, 40)


def icon(size):
    scale = size / 32.0
    word = draw.neon_word('pa', size, size, size * 0.34, size * 0.62, draw.WORD_HUES,
                          size / 22.0, 0.6)
    rows = []
    for j in range(size):
        row = []
        for i in range(size):
            # the pad's own shape at 32 px, evaluated at this pixel's scaled position
            x, y = (i + 0.5) / scale - 16, (j + 0.5) / scale - 16
            d = round_box(x, y, 15.0, 15.0, 7.0) * scale
            edge = clamp((0.6 - d) / 1.6)
            depth = -d / scale
            shade = 1 - 0.35 * (j / (size - 1))
            col = tuple(c * shade for c in LIT)
            if depth < 2.5:
                col = mix(col, (255, 255, 255), 0.6 * clamp(1 - depth / 2.5))
            gloss = clamp(1 - abs(y + 8) / 5) * clamp(1 - abs(x) / 11) * 0.4
            col = mix(col, (255, 255, 255), gloss)
            # the word glows on a darkened face so it reads at small sizes
            glow = word[j][i]
            face = clamp(depth / 3.0) * 0.75
            col = tuple(c * (1 - face) + g for c, g in zip(col, glow))
            row.append(col + (255 * edge,))
        rows.append(row)
    return rows


def main():
    size = int(sys.argv[2]) if len(sys.argv) > 2 else 128
    draw.write_png(sys.argv[1], size, size, icon(size))


if __name__ == '__main__':
    main()
