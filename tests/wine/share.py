#!/usr/bin/env python3
"""share.py FILE.ppm X Y W H RRGGBB: the share (0 to 1) of the pixels of the rectangle
that have the colour, each channel within 3. Reads binary 8-bit PPM (P6) only."""
import sys


def load(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b"P6" or fields[3] != b"255":
        sys.exit("not an 8-bit binary PPM: " + path)
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def main(path, x, y, w, h, colour):
    width, height, body = load(path)
    want = bytes.fromhex(colour)
    x0, y0 = max(0, x), max(0, y)
    x1, y1 = min(width, x + w), min(height, y + h)
    if x1 <= x0 or y1 <= y0:
        sys.exit("empty rectangle")
    same = 0
    for row in range(y0, y1):
        line = body[3 * (row * width + x0):3 * (row * width + x1)]
        for i in range(0, len(line), 3):
            if all(abs(line[i + c] - want[c]) <= 3 for c in range(3)):
                same += 1
    print("%.4f" % (same / ((x1 - x0) * (y1 - y0))))


if __name__ == "__main__":
    a = sys.argv
    if len(a) != 7:
        sys.exit(__doc__)
    main(a[1], *map(int, a[2:6]), a[6])
