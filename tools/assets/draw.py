#!/usr/bin/env python3
# Draws the program's pictures: the note stamp, the step pad, the stage and the lettering.
# Needs only Debian 12's python3 (standard library); the files are written
# byte by byte so their layout is exactly what the program's decoders expect:
# BMPs with a 40-byte info header, bottom-up, 24-bit; the PNG 8-bit RGBA.
#   draw.py OUTDIR
import math
import struct
import sys
import zlib

import glyphs


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def write_bmp(path, width, height, pixels):
    """pixels: rows top to bottom of (r, g, b) floats 0..255."""
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((int(clamp(b, 0, 255) + 0.5), int(clamp(g, 0, 255) + 0.5),
                           int(clamp(r, 0, 255) + 0.5)))
        body += line + bytes(stride - len(line))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(body), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(head + info + body)


def write_png(path, width, height, pixels):
    """pixels: rows top to bottom of (r, g, b, a) floats 0..255."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for px in row:
            raw += bytes(int(clamp(c, 0, 255) + 0.5) for c in px)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    png = b'\x89PNG\r\n\x1a\n'
    png += chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(bytes(raw), 9))
    png += chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(png)


# A geometric lowercase stroke alphabet: strokes are segments and arcs on a grid
# where the baseline is y=0 and the x-height y=1 (y grows upwards).
def seg(x0, y0, x1, y1):
    return ('seg', x0, y0, x1, y1)


def arc(cx, cy, r, a0=0.0, a1=360.0):
    return ('arc', cx, cy, r, math.radians(a0), math.radians(a1))


def dot(x, y, r):
    return ('dot', x, y, r)


R = 0.44  # bowl radius
GLYPHS = {
    'p': (2 * R, [arc(R, 0.5, R), seg(0, 1.0, 0, -0.6)]),
    'a': (2 * R, [arc(R, 0.5, R), seg(2 * R, 1.0, 2 * R, 0)]),
    'k': (0.7, [seg(0, 1.6, 0, 0), seg(0.02, 0.38, 0.68, 1.0), seg(0.3, 0.62, 0.7, 0)]),
    'e': (2 * R, [arc(R, 0.5, R, 0, 320), seg(0, 0.5, 2 * R, 0.5)]),
    'm': (1.2, [seg(0, 0, 0, 1.0), arc(0.3, 0.7, 0.3, 0, 180), seg(0.6, 0.7, 0.6, 0),
                arc(0.9, 0.7, 0.3, 0, 180), seg(1.2, 0.7, 1.2, 0)]),
    'i': (0.0, [seg(0, 0, 0, 1.0), dot(0, 1.42, 0.15)]),
    'n': (0.8, [seg(0, 0, 0, 1.0), arc(0.4, 0.6, 0.4, 0, 180), seg(0.8, 0.6, 0.8, 0)]),
    'o': (2 * R, [arc(R, 0.5, R)]),
}


def layout(word, gap):
    """Strokes of word placed side by side, and the word's advance width."""
    strokes, x = [], 0.0
    for ch in word:
        width, parts = GLYPHS[ch]
        for p in parts:
            if p[0] == 'seg':
                strokes.append(('seg', p[1] + x, p[2], p[3] + x, p[4]))
            else:
                strokes.append((p[0], p[1] + x) + p[2:])
        x += width + gap
    return strokes, x - gap


def stroke_distance(strokes, x, y):
    """Distance from (x, y) to the nearest stroke centreline; dots return distance to their rim."""
    best = 1e9
    for s in strokes:
        kind = s[0]
        if kind == 'seg':
            _, x0, y0, x1, y1 = s
            dx, dy = x1 - x0, y1 - y0
            t = clamp(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy))
            d = math.hypot(x - x0 - t * dx, y - y0 - t * dy)
        elif kind == 'arc':
            _, cx, cy, r, a0, a1 = s
            px, py = x - cx, y - cy
            a = math.atan2(py, px) % (2 * math.pi)
            if a1 - a0 >= 2 * math.pi - 1e-9 or a0 <= a <= a1:
                d = abs(math.hypot(px, py) - r)
            else:
                d = min(math.hypot(px - r * math.cos(a0), py - r * math.sin(a0)),
                        math.hypot(px - r * math.cos(a1), py - r * math.sin(a1)))
        else:
            _, cx, cy, r = s
            d = math.hypot(x - cx, y - cy) - r + STROKE
        best = min(best, d)
    return best


STROKE = 0.15  # stroke half-width in x-height units


def neon_word(word, width, height, xheight, baseline, hue_at, glow_px, core_white, brightness=1.0):
    """A glowing tube-lettered word-mark, centred horizontally, as rows of (r, g, b)."""
    strokes, advance = layout(word, 0.44)
    left = (width - advance * xheight) / 2
    half = STROKE * xheight
    rows = []
    for j in range(height):
        row = []
        for i in range(width):
            ux = (i + 0.5 - left) / xheight
            uy = (baseline - (j + 0.5)) / xheight
            d = stroke_distance(strokes, ux, uy) * xheight - half  # pixels outside the tube
            hue = hue_at(clamp((i + 0.5 - left) / (advance * xheight)))
            glow = 0.85 * math.exp(-max(d, 0.0) / glow_px)
            cover = clamp(0.5 - d)
            inner = clamp(-d / half) if d < 0 else 0.0
            tube = mix(hue, (255, 255, 255), core_white * inner ** 0.7)
            c = tuple((h * glow * (1 - cover) + t * cover) * brightness for h, t in zip(hue, tube))
            row.append(c)
        rows.append(row)
    return rows


def gradient(stops):
    def at(t):
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t <= t1:
                return mix(c0, c1, (t - t0) / (t1 - t0))
        return stops[-1][1]
    return at


WORD_HUES = gradient([(0.0, (255, 40, 170)), (0.45, (255, 150, 30)), (1.0, (30, 200, 255))])


def note_stamp():
    # Bold and bright so its copies stay visible as the trail halves them.
    return neon_word('pakemino', 256, 64, 21, 41, WORD_HUES, 5.0, 0.6)


def round_box(px, py, hw, hh, r):
    """Signed distance to a rounded rectangle centred at the origin."""
    qx, qy = abs(px) - hw + r, abs(py) - hh + r
    return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r


def pad():
    rows = []
    for j in range(32):
        row = []
        for i in range(32):
            x, y = i + 0.5 - 16, j + 0.5 - 16
            d = round_box(x, y, 15.0, 15.0, 7.0)
            edge = clamp((0.6 - d) / 1.6)  # soft outer edge
            depth = -d  # pixels inside the rim
            shade = 255 - 40 * (j / 31)  # lit from above
            col = (shade * 0.95, shade * 0.92, shade)  # lavender white: tinted yellow it stays warm
            if depth < 2.5:  # a bright rim reads as the pad's outline
                col = mix(col, (255, 255, 255), 0.6 * clamp(1 - depth / 2.5))
            gloss = clamp(1 - abs(y + 8) / 5) * clamp(1 - abs(x) / 11) * 0.5
            col = mix(col, (255, 255, 255), gloss)
            # glassy: the rim is solid, the face lets the trail glimmer through
            alpha = 0.74 + 0.26 * clamp(1 - depth / 3.0) + 0.2 * gloss
            # the cursor adds the colour whatever the alpha, so it must fade out with the shape too
            row.append(tuple(v * edge ** 0.5 for v in col) + (255 * clamp(alpha) * edge,))
        rows.append(row)
    return rows


def stage():
    W, H = 640, 480
    line = (70, 120, 210)
    accent = (80, 220, 255)
    title = neon_word('pakemino', 120, 30, 9, 21, WORD_HUES, 2.5, 0.5, 0.5)
    rows = []
    for j in range(H):
        row = []
        for i in range(W):
            x, y = i + 0.5, j + 0.5
            c = [0.0, 0.0, 0.0]

            def add(col, k):
                for n in range(3):
                    c[n] += col[n] * k

            # a rounded double frame in a soft violet haze
            d = round_box(x - W / 2, y - H / 2, W / 2 - 8, H / 2 - 8, 14)
            add((40, 16, 80), math.exp(-abs(d) / 14.0) * (0.6 if d > 0 else 1.0))
            add(line, clamp(1.2 - abs(d)) * 0.9 + 0.25 * math.exp(-abs(d) / 3.0))
            d2 = round_box(x - W / 2, y - H / 2, W / 2 - 13, H / 2 - 13, 10)
            add(line, clamp(1.0 - abs(d2)) * 0.35)
            # bright brackets at the corners of the outer frame
            if (x < 60 or x > W - 60) and (y < 60 or y > H - 60):
                add(accent, clamp(1.4 - abs(d)) * 0.9 + 0.3 * math.exp(-abs(d) / 2.5))
            # beat marks under the pads, every fourth step stronger
            for s in range(16):
                cx = 32 + 36 * s + 16
                strong = s % 4 == 0
                hw = 9 if strong else 4
                dx = max(abs(x - cx) - hw, 0)
                dy = max(abs(y - 74) - 1.0, 0)
                dd = math.hypot(dx, dy)
                if dd < 6:
                    add(accent if strong else line, (clamp(1 - dd) + 0.2 * math.exp(-dd / 2)) * (0.8 if strong else 0.5))
            # a rule under the pad row, fading out towards its ends
            if 24 < x < 616:
                fade = clamp(1 - abs(x - W / 2) / 300) ** 0.6
                add(line, fade * (clamp(1.0 - abs(y - 83)) * 0.5 + 0.12 * math.exp(-abs(y - 83) / 2.0)))
            # the pad row stays black so the pads read clearly
            if 24 <= x <= 612 and 24 <= y <= 70:
                k = clamp(min((x - 24) / 8, (612 - x) / 8, (y - 24) / 8, (70 - y) / 6))
                c = [v * (1 - k) for v in c]
            tx, ty = i - (W - 26 - 120), j - (H - 24 - 30)
            if 0 <= tx < 120 and 0 <= ty < 30:
                add(title[ty][tx], 1.0)
            row.append(tuple(c))
        rows.append(row)
    return rows


def main():
    out = sys.argv[1]
    write_bmp(out + '/zirmonly.bmp', 256, 64, note_stamp())
    write_png(out + '/pad.png', 32, 32, pad())
    write_bmp(out + '/stage.bmp', 640, 480, stage())
    lettering = glyphs.atlas()
    write_png(out + '/glyphs.png', len(lettering[0]), len(lettering), lettering)


if __name__ == '__main__':
    main()
