#!/usr/bin/env python3
"""Draws the three button images of the Win32 dialog and writes them as icon files.

Each image is drawn from shapes in a 16 x 16 design grid at 16, 20, 24 and 32 pixels (100, 125, 150
and 200 % display scaling), anti-aliased, as 32-bit pixels with alpha; the dialog takes the size
that suits the window's DPI. Run it again after changing a shape:

    python3 tools/make_button_images.py platform/win32/dialog/images
"""

import math
import struct
import sys
from pathlib import Path

SIZES = (16, 20, 24, 32)
SAMPLES = 4  # per pixel and axis, for the anti-aliasing
OUTLINE = 1.0  # the outline's width in design units


def segment_distance(px, py, ax, ay, bx, by):
    """Distance of the point from the segment a-b."""
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def convex_distance(px, py, points):
    """Signed distance from a convex polygon given clockwise in screen coordinates (< 0 inside)."""
    worst = -math.inf
    for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
        length = math.hypot(bx - ax, by - ay)
        # The outward normal of a clockwise edge (y pointing down) is (dy, -dx).
        worst = max(worst, ((px - ax) * (by - ay) - (py - ay) * (bx - ax)) / length)
    return worst


def cancel_shape(x, y):
    """A diagonal cross with round ends: the stroke's signed distance."""
    radius = 2.1
    return min(segment_distance(x, y, 3.6, 3.6, 12.4, 12.4),
               segment_distance(x, y, 12.4, 3.6, 3.6, 12.4)) - radius


def forward_shape(x, y):
    """An arrow pointing right: a shaft and a triangular head."""
    shaft = [(1.2, 5.4), (8.6, 5.4), (8.6, 10.6), (1.2, 10.6)]
    head = [(7.4, 1.3), (15.0, 8.0), (7.4, 14.7)]
    return min(convex_distance(x, y, shaft), convex_distance(x, y, head))


def render(shape, size, fill, outline):
    """The image as rows of (r, g, b, a), top row first."""
    scale = 16.0 / size
    rows = []
    for row in range(size):
        pixels = []
        for column in range(size):
            covered = inner = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (column + (sx + 0.5) / SAMPLES) * scale
                    y = (row + (sy + 0.5) / SAMPLES) * scale
                    distance = shape(x, y)
                    if distance <= 0:
                        covered += 1
                        if distance <= -OUTLINE:
                            inner += 1
            if covered == 0:
                pixels.append((0, 0, 0, 0))
                continue
            share = inner / covered  # how much of the covered part is fill rather than outline
            colour = tuple(round(f * share + o * (1 - share)) for f, o in zip(fill, outline))
            pixels.append(colour + (round(255 * covered / SAMPLES ** 2),))
        rows.append(pixels)
    return rows


def icon_entry(rows):
    """One icon image: BITMAPINFOHEADER, bottom-up BGRA pixels, then the 1-bit AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for column, pixel in enumerate(row):
            if pixel[3] == 0:  # transparent where nothing is drawn, for systems without alpha
                bits[column // 8] |= 0x80 >> (column % 8)
        mask += bits
    return header + pixels + bytes(mask)


def write_icon(path, shape, fill, outline):
    images = [icon_entry(render(shape, size, fill, outline)) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    path.write_bytes(directory + b"".join(images))


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else "platform/win32/dialog/images")
    folder.mkdir(parents=True, exist_ok=True)
    write_icon(folder / "cancel.ico", cancel_shape, (226, 52, 44), (150, 24, 20))
    write_icon(folder / "forward.ico", forward_shape, (58, 170, 72), (26, 104, 40))
    # The greyed arrow of a disabled button: the same shape in the system's grey tones.
    write_icon(folder / "forward_disabled.ico", forward_shape, (200, 200, 200), (140, 140, 140))


if __name__ == "__main__":
    main()
