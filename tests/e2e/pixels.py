#!/usr/bin/env python3
"""Reads screenshots (binary PPM) for the end-to-end tests.

  pixels.py at FILE X Y                      -> "RRGGBB" of one pixel
  pixels.py count FILE X0 Y0 X1 Y1 RRGGBB T  -> pixels in the rectangle within T of the colour
  pixels.py differ FILE1 FILE2 X0 Y0 X1 Y1 T -> pixels in the rectangle differing by more than T
  pixels.py hud FILE                         -> the day's display on a screen of any shape, on
                                                its grid 480 high: fails unless the clock icon
                                                is round at its place by the left edge and the
                                                axe's tip stands as far from the right edge as
                                                on a 4:3 screen
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
    elif command == "hud":
        hud(load(argv[2]))
    else:
        raise SystemExit(__doc__)


def hud(image):
    width, height, _ = image
    unit = height / 480.0
    grid_width = width / unit
    sky = bytes.fromhex("76D3E4")

    def things(x0, y0, x1, y1):
        return [(x, y) for x, y in rect(image, int(x0 * unit), int(y0 * unit),
                                         int(x1 * unit), int(y1 * unit))
                if any(abs(c - w) > 12 for c, w in zip(pixel(image, x, y), sky))]

    # The clock icon (a 61-unit disc in its 63 x 63 picture at (15, 9)) and the axe's tip.
    icon = things(0, 0, 90, 80)
    xs, ys = [x for x, _ in icon], [y for _, y in icon]
    clock = [min(xs) / unit, min(ys) / unit, (max(xs) - min(xs) + 1) / unit,
             (max(ys) - min(ys) + 1) / unit]
    tip = min(things(grid_width - 150, 0, grid_width, 40), key=lambda p: p[1])
    right, top = grid_width - tip[0] / unit, tip[1] / unit
    print("clock at %.1f, %.1f, %.1f x %.1f; axe tip %.1f from the right, %.1f down"
          % (clock[0], clock[1], clock[2], clock[3], right, top))
    wanted = [(clock[0], 16), (clock[1], 10), (clock[2], 61), (clock[3], 61), (right, 112), (top, 9)]
    if any(abs(got - want) > 3 for got, want in wanted):
        raise SystemExit("the display is out of place or out of shape")


if __name__ == "__main__":
    main(sys.argv)
