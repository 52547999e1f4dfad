#!/usr/bin/env python3
"""hostile.py DIR CASE: spoils one file of the world in DIR the way CASE says and prints the
text the game's error box must show for it."""
import os
import struct
import sys

folder, case = sys.argv[1], sys.argv[2]
data = os.path.join(folder, "Data")


def path(name):
    return os.path.join(data, name)


if case == "fifo-heightmap":
    os.remove(path("hmap.dat"))
    os.mkfifo(path("hmap.dat"))
    print("File not found: 'Data\\hmap.dat'")
elif case == "zero-settings":
    os.remove(os.path.join(folder, "GameSettings.ini"))
    os.symlink("/dev/zero", os.path.join(folder, "GameSettings.ini"))
    print("File not found: 'GameSettings.ini'")
elif case == "one-house-too-many":
    with open(path("map.dat"), "r+b") as f:
        houses = struct.unpack("<i", f.read(4))[0] + 1
        f.seek(0)
        f.write(struct.pack("<i", houses))
        # The tree count is read where it would stand after one house more.
        f.seek(4 + 8 * houses)
        trees = struct.unpack("<i", f.read(4))[0]
    size = os.path.getsize(path("map.dat"))
    print("Data\\map.dat: %d bytes, but %d houses and %d trees make %d"
          % (size, houses, trees, 8 + 8 * houses + 8 * trees))
elif case in ("model-47-bytes", "model-empty"):
    size = 47 if case == "model-47-bytes" else 0
    with open(path("HouseWl.mdl"), "r+b") as f:
        f.truncate(size)
    print("Data\\HouseWl.mdl: %d bytes, not one whole 48-byte quad" % size)
elif case == "absurd-heights":
    with open(path("hmap.dat"), "r+b") as f:
        f.seek(4 * (40 * 128 + 40))
        f.write(struct.pack("<i", 600000000))
    print("Data\\hmap.dat: height 600000000 at (40, 40)")
elif case == "huge-resolution":
    with open(os.path.join(folder, "GameSettings.ini"), "a") as f:
        f.write("XResolution=16384\nYResolution=16384\n")
    print("Failed to create Direct3D device: the display cannot show 16384 x 16384 full "
          "screen. Set XResolution and YResolution in GameSettings.ini to a size it can show, "
          "or both to 0 for the desktop's own size.")
elif case == "update-rate":
    with open(os.path.join(folder, "GameSettings.ini"), "a") as f:
        f.write("UpdateRate=100000\n")
    print("GameSettings.ini: UpdateRate must be 0 (a step each frame) or 10 to 1000 (steps a "
          "second), not '100000'")
else:
    sys.exit("unknown case " + case)
