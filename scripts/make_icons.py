#!/usr/bin/env python3
"""Draw Tarnwick's three icon groups: a mouse seen from above, its cable curving
out of the top. The holding icon is the active one with its left button held
down, filled in a colour of its own.

Usage: python3 scripts/make_icons.py OUTDIR

Writes OUTDIR/active.ico, OUTDIR/inactive.ico and OUTDIR/holding.ico. Each
holds 32x32 and 16x16 images in 256 colours, and the sizes Windows asks for
from 100 to 200 % display scale (16, 20, 24, 32, 40, 48 and 64) and 256 in
true colour with alpha: up to 32 as bitmaps, which every version of Windows
reads, the larger ones as PNG images, which take a fraction of the room. The
drawing is pure arithmetic, so every run gives the same bytes.
"""

import math
import os
import struct
import sys
import zlib

OUTLINE = (34, 34, 38)
BODY_TOP = (252, 252, 252)
BODY_BOTTOM = (200, 202, 206)
SEAM = (120, 122, 128)
# The held left button: a strong green, apart from the cable's cyan and the
# wheel's red, and dark enough to stand out of the white body at 16 pixels
HELD = (0, 168, 72)

# (cable, scroll wheel, left button) of each icon; everything else is the same
# in all three. A left button of None is drawn as the rest of the body.
ACCENTS = {
    "active": ((0, 224, 255), (255, 104, 104), None),
    "inactive": ((150, 150, 150), (128, 128, 0), None),
    "holding": ((0, 224, 255), (255, 104, 104), HELD),
}

# Geometry of each image size in pixels; the small one keeps its lines on
# whole pixels so that they stay sharp.
LAYOUTS = {
    32: dict(
        body=(8.0, 9.0, 24.0, 31.0), radius=8.0, outline=1.6,
        wheel=(13.5, 11.0, 18.5, 18.0), wheel_outline=1.0,
        divide=(15.4, 16.6), seam=(19.5, 20.7),
        cable=((16.0, 10.0), (16.0, 4.0), (25.0, 9.5), (27.0, 0.0)),
        cable_width=2.6, cable_outline=1.3,
    ),
    16: dict(
        body=(4.0, 4.0, 12.0, 16.0), radius=4.0, outline=1.0,
        wheel=(7.0, 5.0, 9.0, 8.0), wheel_outline=0.0,
        divide=(7.5, 8.5), seam=(9.0, 10.0),
        cable=((8.0, 5.0), (8.0, 3.5), (8.0, 2.0), (10.0, 2.0),
               (11.5, 2.0), (13.0, 2.0), (13.0, 0.0)),
        cable_width=2.0, cable_outline=0.0,
    ),
}

# Drawn to scale from the 32-pixel layout; their lines are wide enough not to
# need whole pixels.
SCALED_SIZES = (20, 24, 40, 48, 64, 256)
BITMAP_SIZES = (16, 20, 24, 32)
PNG_SIZES = (40, 48, 64, 256)


def scaled_layout(size):
    base = LAYOUTS[32]
    k = size / 32
    layout = {}
    for key, value in base.items():
        if isinstance(value, tuple) and isinstance(value[0], tuple):
            layout[key] = tuple((x * k, y * k) for x, y in value)
        elif isinstance(value, tuple):
            layout[key] = tuple(v * k for v in value)
        else:
            layout[key] = value * k
    return layout


for _size in SCALED_SIZES:
    LAYOUTS[_size] = scaled_layout(_size)


def subsamples(size):
    """Samples per pixel side: fewer where pixels are small against the lines."""
    return 8 if size <= 32 else 4 if size <= 64 else 3


def rounded_box_distance(px, py, box, radius):
    """Signed distance from a point to a rectangle with rounded corners."""
    x0, y0, x1, y1 = box
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    qx = abs(px - cx) - ((x1 - x0) / 2 - radius)
    qy = abs(py - cy) - ((y1 - y0) / 2 - radius)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def bezier_points(controls, steps=32):
    """Points along a chain of cubic Bezier segments that share end points."""
    points = [controls[0]]
    for k in range(0, len(controls) - 1, 3):
        p0, p1, p2, p3 = controls[k:k + 4]
        for i in range(1, steps + 1):
            t = i / steps
            u = 1 - t
            points.append(tuple(
                u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d
                for a, b, c, d in zip(p0, p1, p2, p3)))
    return points


def polyline_distance(px, py, points, reach=float("inf")):
    """Distance to the polyline, or infinity when it is surely beyond `reach`."""
    xs = [x for x, _ in points]
    ys = [y for _, y in points]
    if (px < min(xs) - reach or px > max(xs) + reach or
            py < min(ys) - reach or py > max(ys) + reach):
        return float("inf")
    best = float("inf")
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        dx, dy = bx - ax, by - ay
        t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
        t = min(max(t, 0.0), 1.0)
        best = min(best, math.hypot(px - ax - t * dx, py - ay - t * dy))
    return best


def shade(top, bottom, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(a + (b - a) * t for a, b in zip(top, bottom))


def sample(px, py, layout, cable_colour, wheel_colour, cable):
    """Colour at one point, or None where the background shows through; on
    the left button, the pair of its accent's name and the body's colour."""
    body = rounded_box_distance(px, py, layout["body"], layout["radius"])
    if body <= 0:
        wheel_box = layout["wheel"]
        wheel = rounded_box_distance(px, py, wheel_box, (wheel_box[2] - wheel_box[0]) / 2)
        if wheel <= -layout["wheel_outline"]:
            return wheel_colour
        if wheel <= 0:
            return OUTLINE
    # The cable runs over the body's outline, so that it stays joined to the
    # body on a dark background where the outline disappears.
    half = layout["cable_width"] / 2
    cable_distance = polyline_distance(px, py, cable, half + layout["cable_outline"])
    if cable_distance <= half:
        return cable_colour
    if body <= 0:
        if body > -layout["outline"]:
            return OUTLINE
        _, y0, _, y1 = layout["body"]
        # The line between the two buttons, and the one below them
        divide_x0, divide_x1 = layout["divide"]
        seam_y0, seam_y1 = layout["seam"]
        if seam_y0 <= py < seam_y1 or (divide_x0 <= px < divide_x1 and py < seam_y0):
            return SEAM
        body_colour = shade(BODY_TOP, BODY_BOTTOM, (py - y0) / (y1 - y0))
        if px < divide_x0 and py < seam_y0:
            return ("button", body_colour)
        return body_colour
    if cable_distance <= half + layout["cable_outline"]:
        return OUTLINE
    return None


def shapes(size):
    """What each sample of each pixel shows, rows top first: a colour, the
    name of an accent, an accent's name and the colour without it, or None;
    the same for every icon, so drawn once."""
    layout = LAYOUTS[size]
    cable = bezier_points(layout["cable"])
    n = subsamples(size)
    return [[[sample(x + (i + 0.5) / n, y + (j + 0.5) / n, layout, "cable", "wheel", cable)
              for j in range(n) for i in range(n)]
             for x in range(size)]
            for y in range(size)]


def render(drawing, cable_colour, wheel_colour, button_colour):
    """Rows of (r, g, b, a) pixels, top row first, averaging the samples."""
    accents = {"cable": cable_colour, "wheel": wheel_colour}
    rows = []
    for shape_row in drawing:
        row = []
        for pixel in shape_row:
            r = g = b = covered = 0.0
            for colour in pixel:
                if colour is not None:
                    if colour[0] == "button":
                        colour = button_colour or colour[1]
                    colour = accents.get(colour, colour)
                    r += colour[0]
                    g += colour[1]
                    b += colour[2]
                    covered += 1
            if covered:
                row.append((round(r / covered), round(g / covered),
                            round(b / covered), round(255 * covered / len(pixel))))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def and_mask(rows):
    """1-bit mask, bottom row first, set where the background shows."""
    size = len(rows)
    stride = (size + 31) // 32 * 4
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def bitmap_header(size, bits, colours):
    # The height covers the colour bitmap and the mask stacked on each other.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                       0, 0, 0, colours, 0)


def true_colour_image(rows):
    size = len(rows)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    return bitmap_header(size, 32, 0) + bytes(pixels) + and_mask(rows)


def palette_for(colours):
    """At most 255 colours standing for the given ones, by median cut."""
    boxes = [sorted(set(colours))]
    while len(boxes) < 255:
        splittable = [b for b in boxes if len(b) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: max(
            max(c[k] for c in b) - min(c[k] for c in b) for k in range(3)))
        channel = max(range(3), key=lambda k: max(c[k] for c in box) - min(c[k] for c in box))
        box.sort(key=lambda c: (c[channel], c))
        middle = len(box) // 2
        boxes.remove(box)
        boxes += [box[:middle], box[middle:]]
    return [tuple(round(sum(c[k] for c in b) / len(b)) for k in range(3)) for b in boxes]


def indexed_image(rows):
    size = len(rows)
    opaque = [(r, g, b) for row in rows for r, g, b, a in row if a >= 128]
    # Entry 0 stays black: masked pixels use it, so the screen shows through.
    palette = [(0, 0, 0)] + sorted(palette_for(opaque))
    palette += [(0, 0, 0)] * (256 - len(palette))

    def nearest(colour):
        return min(range(1, 256), key=lambda i: (
            sum((p - c) ** 2 for p, c in zip(palette[i], colour)), i))

    index_of = {}
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            if a < 128:
                pixels.append(0)
                continue
            if (r, g, b) not in index_of:
                index_of[(r, g, b)] = nearest((r, g, b))
            pixels.append(index_of[(r, g, b)])
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return bitmap_header(size, 8, 256) + table + bytes(pixels) + and_mask(rows)


def png_image(rows):
    """The pixels as a PNG file, which an icon holds as it is."""
    size = len(rows)
    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon_file(images):
    """ICONDIR, one ICONDIRENTRY per (size, bits, data), then the images."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = len(out) + 16 * len(images)
    for size, bits, data in images:
        # A size of 256 is written as 0.
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icons.py OUTDIR")
    outdir = sys.argv[1]
    os.makedirs(outdir, exist_ok=True)
    drawings = {size: shapes(size) for size in BITMAP_SIZES + PNG_SIZES}
    for name, (cable_colour, wheel_colour, button_colour) in ACCENTS.items():
        drawn = {size: render(drawing, cable_colour, wheel_colour, button_colour)
                 for size, drawing in drawings.items()}
        images = [(size, 8, indexed_image(drawn[size])) for size in (32, 16)]
        images += [(size, 32, true_colour_image(drawn[size])) for size in BITMAP_SIZES]
        images += [(size, 32, png_image(drawn[size])) for size in PNG_SIZES]
        with open(os.path.join(outdir, name + ".ico"), "wb") as f:
            f.write(icon_file(images))


if __name__ == "__main__":
    main()
