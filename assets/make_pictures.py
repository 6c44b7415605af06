#!/usr/bin/env python3
"""Draws the program's pictures from code.

    python3 assets/make_pictures.py            # writes the pictures beside this script
    python3 assets/make_pictures.py --out DIR  # writes them into DIR
    python3 assets/make_pictures.py --check    # exit status 1 if a committed file differs

Pictures:
    badge.png    256 x 256 RGBA: the round gift badge shown in the main window
    icon.png     32 x 32 RGBA: the program's icon, a sly smiley
    icon.ico     the same 32 x 32 image as a Windows icon (32-bit BGRA with alpha)
    quavik.png   128 x 128 RGBA: the same smiley for desktop menus

Standard library only. Every shape is scan-converted into a supersampled grid of palette
indices (opaque colours, painted back to front), and each output pixel is the average of
its samples, which gives anti-aliased edges without seams between touching shapes. The PNG
files carry only IHDR, IDAT and IEND, so a rerun writes the same bytes.
"""

import argparse
import math
import os
import struct
import sys
import zlib

# --------------------------------------------------------------------------------------
# Span algebra: a shape answers, for a horizontal line y, the sorted disjoint list of
# x intervals [x0, x1) that it covers.


def merge_spans(spans):
    spans = sorted(s for s in spans if s[1] > s[0])
    merged = []
    for x0, x1 in spans:
        if merged and x0 <= merged[-1][1]:
            if x1 > merged[-1][1]:
                merged[-1] = (merged[-1][0], x1)
        else:
            merged.append((x0, x1))
    return merged


def intersect_spans(a, b):
    out = []
    i = j = 0
    while i < len(a) and j < len(b):
        x0 = max(a[i][0], b[j][0])
        x1 = min(a[i][1], b[j][1])
        if x1 > x0:
            out.append((x0, x1))
        if a[i][1] < b[j][1]:
            i += 1
        else:
            j += 1
    return out


def subtract_spans(a, b):
    out = []
    for x0, x1 in a:
        for c0, c1 in b:
            if c1 <= x0 or c0 >= x1:
                continue
            if c0 > x0:
                out.append((x0, c0))
            x0 = max(x0, c1)
            if x0 >= x1:
                break
        if x1 > x0:
            out.append((x0, x1))
    return out


class Polygon:
    """A closed polygon, filled by the even-odd rule."""

    def __init__(self, points):
        self.edges = []
        for k, (xa, ya) in enumerate(points):
            xb, yb = points[(k + 1) % len(points)]
            if ya != yb:
                self.edges.append((min(ya, yb), max(ya, yb), xa, ya, (xb - xa) / (yb - ya)))
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.box = (min(xs), min(ys), max(xs), max(ys))

    def spans(self, y):
        xs = sorted(xa + (y - ya) * slope
                    for y0, y1, xa, ya, slope in self.edges if y0 <= y < y1)
        return merge_spans(zip(xs[0::2], xs[1::2]))


class Ellipse:
    """An ellipse with centre (cx, cy), semi-axes rx and ry, rotated by `angle` degrees
    (clockwise on the screen, as y grows downwards)."""

    def __init__(self, cx, cy, rx, ry, angle=0.0):
        t = math.radians(angle)
        c, s = math.cos(t), math.sin(t)
        self.cx, self.cy = cx, cy
        # (dx c + dy s)^2 / rx^2 + (-dx s + dy c)^2 / ry^2 <= 1, as a quadratic in dx.
        self.qa = c * c / (rx * rx) + s * s / (ry * ry)
        self.qb = 2 * c * s * (1 / (rx * rx) - 1 / (ry * ry))
        self.qc = s * s / (rx * rx) + c * c / (ry * ry)
        ex = math.sqrt((rx * c) ** 2 + (ry * s) ** 2)
        ey = math.sqrt((rx * s) ** 2 + (ry * c) ** 2)
        self.box = (cx - ex, cy - ey, cx + ex, cy + ey)

    def spans(self, y):
        dy = y - self.cy
        b = self.qb * dy
        disc = b * b - 4 * self.qa * (self.qc * dy * dy - 1)
        if disc <= 0:
            return []
        root = math.sqrt(disc)
        return [(self.cx + (-b - root) / (2 * self.qa), self.cx + (-b + root) / (2 * self.qa))]


def Circle(cx, cy, r):
    return Ellipse(cx, cy, r, r)


def Rect(x0, y0, x1, y1):
    return Polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])


class Union:
    def __init__(self, *shapes):
        self.shapes = shapes
        self.box = (min(s.box[0] for s in shapes), min(s.box[1] for s in shapes),
                    max(s.box[2] for s in shapes), max(s.box[3] for s in shapes))

    def spans(self, y):
        found = []
        for s in self.shapes:
            if s.box[1] <= y <= s.box[3]:
                found.extend(s.spans(y))
        return merge_spans(found)


class Intersect:
    def __init__(self, a, b):
        self.a, self.b = a, b
        self.box = (max(a.box[0], b.box[0]), max(a.box[1], b.box[1]),
                    min(a.box[2], b.box[2]), min(a.box[3], b.box[3]))

    def spans(self, y):
        return intersect_spans(self.a.spans(y), self.b.spans(y))


class Difference:
    def __init__(self, a, b):
        self.a, self.b = a, b
        self.box = a.box

    def spans(self, y):
        return subtract_spans(self.a.spans(y), self.b.spans(y))


def Stroke(points, width):
    """A polyline of the given width with round caps and joins."""
    r = width / 2
    parts = [Circle(x, y, r) for x, y in points]
    for (xa, ya), (xb, yb) in zip(points, points[1:]):
        length = math.hypot(xb - xa, yb - ya)
        if length == 0:
            continue
        nx, ny = -(yb - ya) / length * r, (xb - xa) / length * r
        parts.append(Polygon([(xa + nx, ya + ny), (xb + nx, yb + ny),
                              (xb - nx, yb - ny), (xa - nx, ya - ny)]))
    return Union(*parts)


def quad_curve(p0, p1, p2, steps=24):
    return [((1 - t) ** 2 * p0[0] + 2 * (1 - t) * t * p1[0] + t * t * p2[0],
             (1 - t) ** 2 * p0[1] + 2 * (1 - t) * t * p1[1] + t * t * p2[1])
            for t in (k / steps for k in range(steps + 1))]


def convex_hull(points):
    pts = sorted(set(points))
    if len(pts) < 3:
        return pts

    def cross(o, a, b):
        return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0])

    lower, upper = [], []
    for p in pts:
        while len(lower) >= 2 and cross(lower[-2], lower[-1], p) <= 0:
            lower.pop()
        lower.append(p)
    for p in reversed(pts):
        while len(upper) >= 2 and cross(upper[-2], upper[-1], p) <= 0:
            upper.pop()
        upper.append(p)
    return lower[:-1] + upper[:-1]


def ellipse_points(cx, cy, rx, ry, angle=0.0, steps=48):
    t = math.radians(angle)
    c, s = math.cos(t), math.sin(t)
    out = []
    for k in range(steps):
        a = 2 * math.pi * k / steps
        ex, ey = rx * math.cos(a), ry * math.sin(a)
        out.append((cx + ex * c - ey * s, cy + ex * s + ey * c))
    return out


def long_shadow(outline, dx, dy):
    """The flat-design long shadow of a shape: its outline swept along (dx, dy)."""
    return Polygon(convex_hull(outline + [(x + dx, y + dy) for x, y in outline]))


def sparkle(cx, cy, r, steps=96):
    """A four-pointed star with concave sides."""
    pts = []
    for k in range(steps):
        a = 2 * math.pi * k / steps
        c, s = math.cos(a), math.sin(a)
        pts.append((cx + r * math.copysign(abs(c) ** 2.7, c),
                    cy + r * math.copysign(abs(s) ** 2.7, s)))
    return Polygon(pts)


# --------------------------------------------------------------------------------------
# The supersampled canvas.


class Canvas:
    def __init__(self, size, units, samples):
        self.size = size
        self.samples = samples
        self.n = size * samples
        self.scale = self.n / units
        self.rows = [bytearray(self.n) for _ in range(self.n)]
        self.palette = [None]  # index 0: transparent

    def fill(self, shape, rgb):
        if rgb not in self.palette:
            self.palette.append(rgb)
        index = self.palette.index(rgb)
        scale, n = self.scale, self.n
        x0, y0, x1, y1 = shape.box
        j0 = max(0, math.floor(y0 * scale - 0.5))
        j1 = min(n - 1, math.ceil(y1 * scale - 0.5))
        for j in range(j0, j1 + 1):
            row = self.rows[j]
            for xa, xb in shape.spans((j + 0.5) / scale):
                i0 = max(0, math.ceil(xa * scale - 0.5))
                i1 = min(n, math.ceil(xb * scale - 0.5))
                if i1 > i0:
                    row[i0:i1] = bytes((index,)) * (i1 - i0)

    def pixels(self):
        """The picture as rows of RGBA bytes, each pixel the average of its samples."""
        ss, total = self.samples, self.samples * self.samples
        uniform = [bytes((k,)) * ss for k in range(len(self.palette))]
        out = []
        for y in range(self.size):
            block = self.rows[y * ss:(y + 1) * ss]
            line = bytearray()
            for x in range(self.size):
                a, b = x * ss, (x + 1) * ss
                first = block[0][a]
                if all(r[a:b] == uniform[first] for r in block):
                    line += bytes(self.palette[first]) + b"\xff" if first else b"\0\0\0\0"
                    continue
                counts = [0] * len(self.palette)
                for r in block:
                    for k in r[a:b]:
                        counts[k] += 1
                opaque = total - counts[0]
                sums = [0, 0, 0]
                for k in range(1, len(counts)):
                    if counts[k]:
                        for c in range(3):
                            sums[c] += self.palette[k][c] * counts[k]
                line += bytes((s + opaque // 2) // opaque for s in sums)
                line.append((255 * opaque + total // 2) // total)
            out.append(bytes(line))
        return out


# --------------------------------------------------------------------------------------
# File formats.


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def png_bytes(rows):
    """An 8-bit RGBA, non-interlaced PNG with no ancillary chunks."""
    height, width = len(rows), len(rows[0]) // 4
    prev = bytes(width * 4)
    data = bytearray()
    for row in rows:
        left = bytes(4) + row[:-4]
        upleft = bytes(4) + prev[:-4]
        candidates = [
            row,
            bytes((x - a) & 255 for x, a in zip(row, left)),
            bytes((x - b) & 255 for x, b in zip(row, prev)),
            bytes((x - (a + b) // 2) & 255 for x, a, b in zip(row, left, prev)),
            bytes((x - paeth(a, b, c)) & 255 for x, a, b, c in zip(row, left, prev, upleft)),
        ]
        # The usual heuristic: the filter whose bytes, read as signed, sum smallest.
        costs = [sum(v if v < 128 else 256 - v for v in f) for f in candidates]
        best = costs.index(min(costs))
        data.append(best)
        data += candidates[best]
        prev = row

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(data), 9))
            + chunk(b"IEND", b""))


def ico_bytes(rows):
    """A one-image Windows icon: 32-bit BGRA bitmap with alpha, plus its AND mask."""
    height, width = len(rows), len(rows[0]) // 4
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((width + 31) // 32) * 4
    for row in reversed(rows):  # bottom-up
        bits = bytearray(mask_stride)
        for x in range(width):
            r, g, b, a = row[4 * x:4 * x + 4]
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    image = header + bytes(xor) + bytes(mask)
    return (struct.pack("<HHH", 0, 1, 1)
            + struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(image), 22)
            + image)


# --------------------------------------------------------------------------------------
# The badge: a purple disc with a white gift box, its long shadow and sparkles.

kDiscPurple = (173, 55, 140)
kShadowPurple = (140, 46, 113)
kBoxWhite = (255, 255, 255)
kBoxSide = (231, 224, 211)  # the shaded side of the box, light grey-beige
kBoxUnderLid = (221, 213, 198)
kBoxSideUnderLid = (208, 199, 183)
kRibbon = (238, 80, 50)
kRibbonShade = (206, 62, 38)
kBow = (248, 136, 178)
kBowInner = (222, 92, 142)
kBowKnot = (236, 108, 156)
kSparkle = (255, 255, 255)


def draw_badge():
    cv = Canvas(256, 256, 8)
    disc = Circle(128, 128, 128)
    cv.fill(disc, kDiscPurple)

    # Geometry of the box, the ribbon and the bow.
    lid = (64, 102, 182, 128)
    body = (72, 128, 174, 200)
    side_x = 150  # the box turns its shaded side to the right of this line
    ribbon = (113, 133)
    knot = (123, 100)
    loops = [(101, 88, 24), (145, 88, -24)]  # centre x, centre y, tilt of each bow loop

    # The long shadow, swept towards the lower right and kept inside the disc.
    def corners(x0, y0, x1, y1):
        return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]

    parts = [corners(*lid), corners(*body)]
    parts += [ellipse_points(cx, cy, 24, 12, tilt) for cx, cy, tilt in loops]
    shadow = Union(*(long_shadow(part, 300, 300) for part in parts))
    cv.fill(Intersect(shadow, disc), kShadowPurple)

    for x, y, r in [(50, 86, 13), (78, 52, 6.5), (194, 58, 11), (222, 104, 6),
                    (44, 150, 6.5), (58, 190, 9), (30, 116, 3.5), (176, 30, 4)]:
        cv.fill(sparkle(x, y, r), kSparkle)

    # The box: front in white, the side shaded, a darker strip where the lid overhangs.
    cv.fill(Rect(*body), kBoxWhite)
    cv.fill(Rect(side_x, body[1], body[2], body[3]), kBoxSide)
    cv.fill(Rect(body[0], body[1], side_x, body[1] + 8), kBoxUnderLid)
    cv.fill(Rect(side_x, body[1], body[2], body[1] + 8), kBoxSideUnderLid)
    cv.fill(Rect(*lid), kBoxWhite)
    cv.fill(Rect(side_x + 6, lid[1], lid[2], lid[3]), kBoxSide)

    # The ribbon runs down the front of the lid and the box.
    cv.fill(Rect(ribbon[0], lid[1], ribbon[1], body[3]), kRibbon)
    cv.fill(Rect(ribbon[0], body[1], ribbon[1], body[1] + 8), kRibbonShade)

    # The bow: two loops with their hollows, two short tails over the lid, and the knot.
    for cx, cy, tilt in loops:
        cv.fill(Ellipse(cx, cy, 24, 12, tilt), kBow)
    for cx, cy, tilt in loops:
        # The hollow of a loop sits towards its outer end, away from the knot.
        dx, dy = cx - knot[0], cy - knot[1]
        length = math.hypot(dx, dy)
        hx, hy = cx + 7 * dx / length, cy + 7 * dy / length
        cv.fill(Ellipse(hx, hy, 10, 4.5, tilt), kBowInner)
    cv.fill(Polygon([(knot[0] - 4, knot[1] + 2), (knot[0] - 20, knot[1] + 24),
                     (knot[0] - 12, knot[1] + 22), (knot[0] - 6, knot[1] + 30)]), kBow)
    cv.fill(Polygon([(knot[0] + 4, knot[1] + 2), (knot[0] + 20, knot[1] + 24),
                     (knot[0] + 12, knot[1] + 22), (knot[0] + 6, knot[1] + 30)]), kBow)
    cv.fill(Ellipse(knot[0], knot[1], 10, 9), kBowKnot)
    return cv.pixels()


# --------------------------------------------------------------------------------------
# The icon: a round yellow smiley with a sly grin. Drawn on a 32-unit grid and scaled.

kFaceOutline = (196, 116, 18)
kFaceShade = (246, 176, 28)
kFace = (255, 208, 60)
kCheek = (255, 146, 140)
kEyeWhite = (255, 255, 255)
kLid = (238, 162, 30)
kDarkBrown = (92, 48, 22)
kBrow = (128, 72, 26)
kMouth = (112, 42, 28)
kTeeth = (255, 255, 255)


def draw_smiley(size, samples):
    cv = Canvas(size, 32, samples)
    face = Circle(16, 16, 14.4)
    cv.fill(Circle(16, 16, 15.6), kFaceOutline)
    cv.fill(face, kFaceShade)
    cv.fill(Intersect(face, Circle(15, 14.9, 13.8)), kFace)

    cv.fill(Ellipse(7.4, 20.0, 2.7, 1.8), kCheek)
    cv.fill(Ellipse(25.2, 19.8, 2.6, 1.8), kCheek)

    # Half-closed eyes: the lid covers the upper half, the pupils look to the right.
    for cx, cy in [(10.8, 14.2), (21.6, 13.8)]:
        eye = Ellipse(cx, cy, 3.7, 2.9)
        below_lid = Rect(cx - 5, cy, cx + 5, cy + 4)
        cv.fill(Intersect(eye, Rect(cx - 5, cy - 4, cx + 5, cy)), kLid)
        cv.fill(Intersect(eye, below_lid), kEyeWhite)
        cv.fill(Intersect(Intersect(Circle(cx + 1.7, cy + 0.9, 1.7), eye), below_lid),
                kDarkBrown)
        cv.fill(Stroke([(cx - 3.9, cy + 0.1), (cx + 3.9, cy - 0.2)], 1.4), kDarkBrown)

    # Raised eyebrows, the right one higher.
    cv.fill(Stroke(quad_curve((7.0, 10.4), (10.0, 6.8), (14.2, 8.8)), 1.6), kBrow)
    cv.fill(Stroke(quad_curve((18.0, 8.0), (21.6, 4.6), (25.4, 7.6)), 1.6), kBrow)

    # The grin: lopsided, its right corner pulled up.
    upper = quad_curve((10.0, 21.0), (17.0, 23.4), (23.4, 18.4))
    lower = quad_curve((23.4, 18.4), (19.0, 29.0), (10.0, 21.0))
    mouth = Polygon(upper + lower[1:-1])
    cv.fill(mouth, kMouth)
    teeth = Polygon(upper + [(x, y + 1.4) for x, y in reversed(upper)])
    cv.fill(Intersect(teeth, mouth), kTeeth)
    return cv.pixels()


# --------------------------------------------------------------------------------------


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Draws the program's pictures.")
    parser.add_argument("--out", default=here, help="output folder (default: beside this script)")
    parser.add_argument("--check", action="store_true",
                        help="compare with the files in the output folder instead of writing")
    args = parser.parse_args()

    icon = draw_smiley(32, 16)
    files = {
        "badge.png": png_bytes(draw_badge()),
        "icon.png": png_bytes(icon),
        "icon.ico": ico_bytes(icon),
        "quavik.png": png_bytes(draw_smiley(128, 8)),
    }
    status = 0
    for name, data in files.items():
        path = os.path.join(args.out, name)
        if args.check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                print(f"{path}: differs from the drawing", file=sys.stderr)
                status = 1
        else:
            with open(path, "wb") as f:
                f.write(data)
            print(f"{path}: {len(data)} bytes")
    return status


if __name__ == "__main__":
    sys.exit(main())
