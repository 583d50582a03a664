#!/usr/bin/env python3
"""compare-pngs.py A.png B.png [TOLERANCE]: compares two 8-bit PNG pictures of the same size
pixel by pixel. Prints the number of pixels whose red, green, blue or alpha differ by more than
TOLERANCE (default 2 of 255) and the largest difference; exit code 1 when any pixel does."""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, 'rb').read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        sys.exit(f'{path}: not a PNG file')
    pos, idat, header = 8, b'', None
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            header = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    channels = {0: 1, 2: 3, 4: 2, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace:
        sys.exit(f'{path}: only 8-bit, non-interlaced grey or RGB(A) pictures are read')
    raw, stride = zlib.decompress(idat), width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = row[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                row[i] = (row[i] + a) & 255
            elif kind == 2:
                row[i] = (row[i] + b) & 255
            elif kind == 3:
                row[i] = (row[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(row)
        previous = row
    return width, height, channels, rows


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    tolerance = int(sys.argv[3]) if len(sys.argv) == 4 else 2
    wa, ha, ca, a = read_png(sys.argv[1])
    wb, hb, cb, b = read_png(sys.argv[2])
    if (wa, ha, ca) != (wb, hb, cb):
        sys.exit(f'{sys.argv[1]} and {sys.argv[2]} differ in size or channels')
    differing, largest = 0, 0
    for row_a, row_b in zip(a, b):
        for x in range(0, len(row_a), ca):
            d = max(abs(row_a[x + k] - row_b[x + k]) for k in range(ca))
            largest = max(largest, d)
            differing += d > tolerance
    print(f'{differing} of {wa * ha} pixels differ by more than {tolerance}; largest difference {largest}')
    sys.exit(1 if differing else 0)


main()
