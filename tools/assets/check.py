#!/usr/bin/env python3
# Checks that the files in a data directory are what the program reads and how
# it draws them, and that the sounds are levelled; exits non-zero and names each
# fault. Needs python3 and ffmpeg (its EBU R128 meter).
#   check.py DATADIR
import re
import struct
import subprocess
import sys
import zlib

faults = []


def fault(name, what):
    faults.append(f'{name}: {what}')


def wave_fmt(name, data):
    if data[:4] != b'RIFF' or data[8:12] != b'WAVE':
        return fault(name, 'not RIFF WAVE')
    chunks, at = {}, 12
    while at + 8 <= len(data):
        kind, size = data[at:at + 4], struct.unpack_from('<I', data, at + 4)[0]
        chunks.setdefault(kind, data[at + 8:at + 8 + size])
        at += 8 + size + (size & 1)
    if b'fmt ' not in chunks or b'data' not in chunks:
        return fault(name, 'no fmt or data chunk')
    tag, channels, rate, _, align, bits = struct.unpack_from('<HHIIHH', chunks[b'fmt '])
    return tag, channels, rate, align, bits, chunks[b'data']


def check_wave(dir, name, tag, bits, shortest, longest):
    with open(f'{dir}/{name}', 'rb') as f:
        got = wave_fmt(name, f.read())
    if not got:
        return
    t, channels, rate, align, b, pcm = got
    if (t, channels, rate, b) != (tag, 1, 44100, bits):
        return fault(name, f'format tag {t}, {channels} ch, {rate} Hz, {b} bits; '
                           f'want tag {tag}, mono, 44100 Hz, {bits} bits')
    if t != 1:
        return  # compressed: the length and levels are checked on its PCM source
    if bits == 8:
        samples = [(v - 128) / 128 for v in pcm]
    else:
        samples = [v / 32768 for v in struct.unpack(f'<{len(pcm) // 2}h', pcm[:len(pcm) // 2 * 2])]
    seconds = len(samples) / rate
    if not shortest <= seconds <= longest:
        fault(name, f'{seconds:.3f} s long, want {shortest} to {longest} s')
    peak = max(abs(v) for v in samples)
    # levelled sounds are turned down from -1 dBFS, never up into clipping
    if not 0.5 <= peak <= 0.892:
        fault(name, f'peak {peak:.3f}, want -6 to -1 dBFS')
    # the program plays a sample on a key press or a step: it must sound at once
    if max(abs(v) for v in samples[:int(rate * 0.005)]) < 0.02:
        fault(name, 'silent in its first 5 ms')


def loudness(path, pad):
    """EBU R128 integrated loudness (LUFS) and true peak (dBTP) by ffmpeg's meter, with pad
    seconds of silence after the sound so a hit shorter than a 400 ms block is measured."""
    out = subprocess.run(['ffmpeg', '-nostats', '-hide_banner', '-i', path, '-af',
                          f'apad=pad_dur={pad},ebur128=peak=true', '-f', 'null', '-'],
                         capture_output=True, text=True).stderr
    summary = out[out.rindex('Summary:'):]
    return (float(re.search(r'I:\s+(-?[\d.]+) LUFS', summary).group(1)),
            float(re.search(r'Peak:\s+(-?[\d.]+|-inf) dBFS', summary).group(1)))


def check_levels(dir, names, pad, spread):
    measured = {n: loudness(f'{dir}/{n}', pad) for n in names}
    for n, (_, peak) in measured.items():
        if peak >= 0:
            fault(n, f'true peak {peak} dBTP: it clips')
    values = [i for i, _ in measured.values()]
    if spread is not None and max(values) - min(values) > spread:
        listed = ', '.join(f'{n} {i}' for n, (i, _) in measured.items())
        fault('levels', f'{listed} LUFS differ by more than {spread} LU')


def check_bmp(dir, name, width, height):
    with open(f'{dir}/{name}', 'rb') as f:
        data = f.read()
    if data[:2] != b'BM' or len(data) < 54:
        return fault(name, 'not a BMP')
    offset = struct.unpack_from('<I', data, 10)[0]
    size, w, h, planes, bpp, compression = struct.unpack_from('<IiiHHI', data, 14)
    if (size, w, h, planes, bpp, compression) != (40, width, height, 1, 24, 0):
        return fault(name, f'header {size}, {w}x{h}, {bpp} bits, compression {compression}; '
                           f'want 40, {width}x{height} bottom-up, 24 bits, none')
    stride = (width * 3 + 3) & ~3
    if len(data) < offset + stride * height:
        return fault(name, 'pixel rows cut short')

    def pixel(x, y):
        at = offset + (height - 1 - y) * stride + 3 * x
        return data[at + 2], data[at + 1], data[at]
    return pixel


def png_rgba(name, data, width=32, height=32):
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        return fault(name, 'not a PNG')
    at, idat, head = 8, b'', None
    while at < len(data):
        size, kind = struct.unpack_from('>I4s', data, at)
        body = data[at + 8:at + 8 + size]
        if kind == b'IHDR':
            head = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            idat += body
        at += 12 + size
    w, h, depth, colour, _, _, interlace = head
    if (w, h, depth, colour, interlace) != (width, height, 8, 6, 0):
        return fault(name, f'{w}x{h}, depth {depth}, colour type {colour}, interlace {interlace}; '
                           f'want {width}x{height} 8-bit RGBA')
    raw, rows, prior, stride = zlib.decompress(idat), [], bytearray(w * 4), w * 4
    for y in range(h):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b, c = prior[i], prior[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        prior = line
    return rows


def main():
    dir = sys.argv[1]
    for s in ('pa', 'ke', 'ro', 'no'):
        check_wave(dir, f'{s}.wav', 1, 16, 0.3, 0.6)
    for i in range(1, 10):
        tag, bits = {3: (1, 8), 9: (0x11, 4)}.get(i, (1, 16))
        check_wave(dir, f'beat{i}.wav', tag, bits, 0.03, 1.5)
    # every syllable as loud as the others; the drums hit alike, but for the kick, the closed
    # hat's tick and the crash, which keep their own weight
    check_levels(dir, [f'{s}.wav' for s in ('pa', 'ke', 'ro', 'no')], 0, 0.5)
    check_levels(dir, [f'beat{i}.wav' for i in (2, 4, 5, 6, 7, 8)], 0.4, 0.5)
    check_levels(dir, [f'beat{i}.wav' for i in (1, 3, 9)], 0.4, None)

    check_bmp(dir, 'zirmonly.bmp', 256, 64)
    stage = check_bmp(dir, 'stage.bmp', 640, 480)
    if stage:
        # it is added over the picture: the pad row must stay dark to read
        brightest = max(max(stage(x, y)) for y in range(32, 64) for x in range(32, 604))
        if brightest > 8:
            fault('stage.bmp', f'pad row region reaches {brightest}, want near black')

    with open(f'{dir}/pad.png', 'rb') as f:
        pad = png_rgba('pad.png', f.read())
    if pad:
        alphas = [row[i + 3] for row in pad for i in range(0, 128, 4)]
        if min(alphas) != 0 or max(alphas) < 200:
            fault('pad.png', 'want transparent corners and a solid body')
        # the cursor is the pad added with its colour alone, alpha ignored
        if any(row[i + 3] == 0 and max(row[i:i + 3]) > 0 for row in pad for i in range(0, 128, 4)):
            fault('pad.png', 'colour where alpha is 0 would show around the cursor')

    with open(f'{dir}/glyphs.png', 'rb') as f:
        lettering = png_rgba('glyphs.png', f.read(), 96, 60)
    # whole pixels, white: the drawer's colour tints them and they stay sharp when scaled
    if lettering and any(row[i:i + 4] not in (b'\xff\xff\xff\x00', b'\xff\xff\xff\xff')
                         for row in lettering for i in range(0, len(row), 4)):
        fault('glyphs.png', 'want white pixels, each transparent or opaque')

    for f in faults:
        print(f, file=sys.stderr)
    sys.exit(1 if faults else 0)


if __name__ == '__main__':
    main()
