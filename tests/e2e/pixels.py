#!/usr/bin/env python3
"""Reads screenshots (binary PPM) for the end-to-end tests.

  pixels.py at FILE X Y                      -> "RRGGBB" of one pixel
  pixels.py count FILE X0 Y0 X1 Y1 RRGGBB T  -> pixels in the rectangle within T of the colour
  pixels.py differ FILE1 FILE2 X0 Y0 X1 Y1 T -> pixels in the rectangle differing by more than T
"""
import sys


def load(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            while data[pos:pos + 1] not in (b"\n", b""):
                pos += 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise SystemExit("not an 8-bit binary PPM: " + path)
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:]


def pixel(image, x, y):
    width, _, body = image
    i = 3 * (y * width + x)
    return body[i], body[i + 1], body[i + 2]


def rect(image, x0, y0, x1, y1):
    width, height, _ = image
    for y in range(max(0, y0), min(height, y1)):
        for x in range(max(0, x0), min(width, x1)):
            yield x, y


def main(argv):
    command = argv[1]
    if command == "at":
        r, g, b = pixel(load(argv[2]), int(argv[3]), int(argv[4]))
        print("%02X%02X%02X" % (r, g, b))
    elif command == "count":
        image = load(argv[2])
        x0, y0, x1, y1 = map(int, argv[3:7])
        want = bytes.fromhex(argv[7])
        tolerance = int(argv[8])
        n = sum(1 for x, y in rect(image, x0, y0, x1, y1)
                if all(abs(c - w) <= tolerance for c, w in zip(pixel(image, x, y), want)))
        print(n)
    elif command == "differ":
        a, b = load(argv[2]), load(argv[3])
        x0, y0, x1, y1 = map(int, argv[4:8])
        tolerance = int(argv[8])
        n = sum(1 for x, y in rect(a, x0, y0, x1, y1)
                if any(abs(c - d) > tolerance for c, d in zip(pixel(a, x, y), pixel(b, x, y))))
        print(n)
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
