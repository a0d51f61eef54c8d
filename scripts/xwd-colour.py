#!/usr/bin/env python3
"""xwd-colour.py XWD X Y WIDTH HEIGHT RRGGBB: exits 0 when some pixel of the rectangle (screen
pixels, clipped to the screen) of a 24/32-bit XWD image (such as the screen file an Xvfb server
keeps with -fbdir) has exactly the colour RRGGBB (hex), and 1 when none has. Lets a script wait
for something to show on the screen, such as a verdict's colour."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xwd2png import read_xwd  # noqa: E402


def main():
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    path = sys.argv[1]
    x, y, w, h = (int(v) for v in sys.argv[2:6])
    colour = bytes.fromhex(sys.argv[6])
    with open(path, "rb") as f:
        width, height, raw = read_xwd(f.read())
    stride = 1 + 3 * width  # each row opens with its PNG filter byte
    left, right = max(0, x), min(width, x + w)
    for row in range(max(0, y), min(height, y + h)):
        line = raw[row * stride + 1 + 3 * left: row * stride + 1 + 3 * right]
        at = line.find(colour)
        while at != -1:
            if at % 3 == 0:
                sys.exit(0)
            at = line.find(colour, at + 1)
    sys.exit(1)


if __name__ == "__main__":
    main()
