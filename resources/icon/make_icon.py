#!/usr/bin/env python3
"""Render the Kestrelwood application icon and write resources/kestrelwood.ico.

Design: a rust/orange kestrel in flight (long pointed wings, long tail) seen
from below, on a dark slate-blue rounded square.  Behind the bird sits a thin
machine reticle (a circle with four axis ticks) as a nod to CNC work.  The
16 px image uses a simplified variant drawn on the pixel grid, without the
reticle or the darker wing tips and tail band.

Everything is drawn from polygons, circles and Bezier outlines in a 0..1
coordinate space (x to the right, y downwards), rasterised with 8x8
supersampling per pixel.  Only the Python standard library is used.

Usage:
    python3 resources/icon/make_icon.py [--preview DIR]

--preview writes PNG previews (each size, plus a 256 px rendering) to DIR,
for looking at; they are not meant to be kept in the repository.
"""

import math
import os
import struct
import sys
import zlib

SIZES = (16, 32, 48)
SUPERSAMPLE = 8

# ---------------------------------------------------------------- colours --

SLATE_TOP = (0x34, 0x48, 0x66)
SLATE_BOTTOM = (0x1C, 0x27, 0x39)
SLATE_EDGE = (0x12, 0x1A, 0x27)
RETICLE = (0x5E, 0x7C, 0xA3)
RUST_TOP = (0xF2, 0x8C, 0x38)
RUST_BOTTOM = (0xC8, 0x4E, 0x1C)
WING_TIP = (0x6E, 0x28, 0x10)


def lerp(a, b, t):
    return a + (b - a) * t


def mix(c0, c1, t):
    t = max(0.0, min(1.0, t))
    return tuple(lerp(a, b, t) for a, b in zip(c0, c1))


# --------------------------------------------------------------- geometry --

def cubic(p0, p1, p2, p3, steps=24):
    """Points of a cubic Bezier curve, excluding the start point."""
    out = []
    for i in range(1, steps + 1):
        t = i / steps
        u = 1.0 - t
        x = u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t * p3[0]
        y = u * u * u * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t * p3[1]
        out.append((x, y))
    return out


def path(start, *segments):
    """Build a closed outline.  Each segment is either a point (line to) or a
    tuple of three points (cubic Bezier control1, control2, end)."""
    pts = [start]
    for seg in segments:
        if isinstance(seg[0], tuple):
            pts.extend(cubic(pts[-1], seg[0], seg[1], seg[2]))
        else:
            pts.append(seg)
    return pts


def circle(cx, cy, r, steps=96):
    return [(cx + r * math.cos(2 * math.pi * i / steps),
             cy + r * math.sin(2 * math.pi * i / steps)) for i in range(steps)]


def ring(cx, cy, r_out, r_in, steps=96):
    outer = circle(cx, cy, r_out, steps)
    inner = list(reversed(circle(cx, cy, r_in, steps)))
    return [outer, inner]


def rounded_rect(x0, y0, x1, y1, r, steps=16):
    pts = []
    corners = ((x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0),
               (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180))
    for cx, cy, a0 in corners:
        for i in range(steps + 1):
            a = math.radians(a0 + 90.0 * i / steps)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def scale_about_centre(points, k):
    return [(0.5 + (x - 0.5) * k, 0.5 + (y - 0.5) * k) for x, y in points]


def mirror(points):
    """Mirror an outline about the vertical centre line x = 0.5."""
    return [(1.0 - x, y) for x, y in reversed(points)]


# ------------------------------------------------------------ rasteriser --

def coverage(contours, size, ss=SUPERSAMPLE):
    """Fraction of ss x ss sample points inside the shape (non-zero winding)
    for each pixel, as a list of rows of floats."""
    edges = []
    for contour in contours:
        n = len(contour)
        for i in range(n):
            x0, y0 = contour[i]
            x1, y1 = contour[(i + 1) % n]
            if y0 == y1:
                continue
            edges.append((x0 * size, y0 * size, x1 * size, y1 * size))
    cov = [[0.0] * size for _ in range(size)]
    total = ss * ss
    for py in range(size):
        row = cov[py]
        for sy in range(ss):
            y = py + (sy + 0.5) / ss
            crossings = []
            for x0, y0, x1, y1 in edges:
                if y0 <= y < y1:
                    crossings.append((x0 + (y - y0) * (x1 - x0) / (y1 - y0), 1))
                elif y1 <= y < y0:
                    crossings.append((x0 + (y - y0) * (x1 - x0) / (y1 - y0), -1))
            if not crossings:
                continue
            crossings.sort()
            wind = 0
            span_start = 0.0
            for x, d in crossings:
                prev = wind
                wind += d
                if prev == 0 and wind != 0:
                    span_start = x
                elif prev != 0 and wind == 0:
                    add_span(row, span_start, x, size, ss, total)
    return cov


def add_span(row, xa, xb, size, ss, total):
    # sample centres sit at (k + 0.5) / ss for integer k; count those in [xa, xb)
    ka = max(0, math.ceil(xa * ss - 0.5))
    kb = min(size * ss, math.ceil(xb * ss - 0.5))
    k = ka
    while k < kb:
        px = k // ss
        end = min(kb, (px + 1) * ss)
        row[px] += (end - k) / total
        k = end


class Canvas:
    def __init__(self, size):
        self.size = size
        # premultiplied RGBA, floats 0..1
        self.px = [[[0.0, 0.0, 0.0, 0.0] for _ in range(size)] for _ in range(size)]

    def fill(self, contours, colour, alpha=1.0):
        """Paint a shape. colour is an RGB tuple (0..255) or a function
        (u, v) -> RGB of the pixel centre in 0..1 coordinates."""
        if contours and isinstance(contours[0][0], (int, float)):
            contours = [contours]
        size = self.size
        cov = coverage(contours, size)
        for py in range(size):
            for px in range(size):
                a = cov[py][px] * alpha
                if a <= 0.0:
                    continue
                if callable(colour):
                    c = colour((px + 0.5) / size, (py + 0.5) / size)
                else:
                    c = colour
                d = self.px[py][px]
                inv = 1.0 - a
                d[0] = c[0] / 255.0 * a + d[0] * inv
                d[1] = c[1] / 255.0 * a + d[1] * inv
                d[2] = c[2] / 255.0 * a + d[2] * inv
                d[3] = a + d[3] * inv

    def rgba_rows(self):
        """Rows top-down of straight (non-premultiplied) 8-bit RGBA tuples."""
        rows = []
        for row in self.px:
            out = []
            for r, g, b, a in row:
                if a <= 0.0:
                    out.append((0, 0, 0, 0))
                    continue
                a = min(1.0, a)
                out.append((
                    min(255, int(round(r / a * 255))),
                    min(255, int(round(g / a * 255))),
                    min(255, int(round(b / a * 255))),
                    int(round(a * 255)),
                ))
            rows.append(out)
        return rows


# ----------------------------------------------------------------- design --

def area(points):
    return 0.5 * sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1)
                     in zip(points, points[1:] + points[:1]))


def union(*contours):
    """Orient all outlines the same way so that non-zero filling merges them."""
    return [c if area(c) > 0 else list(reversed(c)) for c in contours]


def g(v):
    """A coordinate on the 16 px grid."""
    return v / 16.0


def grid(*points):
    """An outline given in whole pixels of the 16 px grid."""
    return [(g(x), g(y)) for x, y in points]


def wing_left(small):
    """Left wing: broad at the shoulder (tucked inside the body), bent at the
    wrist, narrowing to a swept-back pointed tip."""
    if small:
        # stepped outline on the 16 px grid: raised wrist, drooping tip
        return grid((3, 4), (6, 4), (6, 5), (8, 5), (8, 7), (3, 7), (3, 8),
                    (2, 8), (2, 9), (1, 9), (1, 6), (2, 6), (2, 5), (3, 5))
    return path(
        (0.500, 0.360),
        ((0.420, 0.330), (0.340, 0.310), (0.270, 0.315)),  # leading edge to wrist
        ((0.180, 0.330), (0.100, 0.400), (0.035, 0.505)),  # wrist to pointed tip
        ((0.100, 0.478), (0.170, 0.462), (0.240, 0.458)),  # hand, trailing edge
        ((0.310, 0.455), (0.360, 0.480), (0.400, 0.505)),  # secondaries
        ((0.440, 0.525), (0.470, 0.530), (0.500, 0.535)),
    )


def body(small):
    if small:
        # head, body and tail in one stepped outline on the 16 px grid
        return grid((7, 2), (9, 2), (9, 7), (10, 7), (10, 8), (9, 8), (9, 10),
                    (10, 10), (10, 12), (11, 12), (11, 13), (5, 13), (5, 12),
                    (6, 12), (6, 10), (7, 10), (7, 8), (6, 8), (6, 7), (7, 7))
    return path(
        (0.500, 0.195),                                     # bill
        ((0.530, 0.200), (0.558, 0.225), (0.558, 0.258)),   # head
        ((0.560, 0.282), (0.553, 0.296), (0.553, 0.305)),   # nape
        ((0.582, 0.335), (0.585, 0.420), (0.550, 0.570)),   # breast and flank
        (0.450, 0.570),
        ((0.415, 0.420), (0.418, 0.335), (0.447, 0.305)),
        ((0.447, 0.296), (0.440, 0.282), (0.442, 0.258)),
        ((0.442, 0.225), (0.470, 0.200), (0.500, 0.195)),
    )


def tail(small):
    if small:
        return []   # drawn with the body outline at 16 px
    return path(
        (0.452, 0.540),
        (0.548, 0.540),
        (0.578, 0.790),
        ((0.565, 0.822), (0.435, 0.822), (0.422, 0.790)),
    )


def smoothstep(e0, e1, x):
    t = max(0.0, min(1.0, (x - e0) / (e1 - e0)))
    return t * t * (3 - 2 * t)


def bird_colour(u, v):
    c = mix(RUST_TOP, RUST_BOTTOM, (v - 0.20) / 0.60)
    # darker primaries and a dark band at the end of the tail
    dark = max(smoothstep(0.26, 0.40, abs(u - 0.5)), smoothstep(0.752, 0.764, v))
    return mix(c, WING_TIP, 0.75 * dark)


def bird_colour_small(u, v):
    return mix(RUST_TOP, RUST_BOTTOM, (v - 0.20) / 0.60)


def background_colour(u, v):
    return mix(SLATE_TOP, SLATE_BOTTOM, v)


def render(size):
    c = Canvas(size)
    small = size <= 16

    # rounded square with a darker rim
    if small:
        c.fill(rounded_rect(0.0, 0.0, 1.0, 1.0, g(3)), SLATE_EDGE)
        c.fill(rounded_rect(g(1), g(1), g(15), g(15), g(2)), background_colour)
    else:
        m = max(1, round(0.02 * size)) / size
        c.fill(rounded_rect(m, m, 1 - m, 1 - m, 0.20), SLATE_EDGE)
        e = m + 1.0 / size
        c.fill(rounded_rect(e, e, 1 - e, 1 - e, 0.20 - (e - m)), background_colour)

        # machine reticle behind the bird
        lw = max(1, round(0.025 * size)) / size
        cx, cy, r = 0.5, 0.5, 0.34
        if round(lw * size) % 2:
            # odd line width on an even grid: shift half a pixel to stay crisp
            cx = cy = 0.5 - 0.5 / size
        c.fill(ring(cx, cy, r + lw / 2, r - lw / 2), RETICLE, 0.8)
        tick = 0.09
        for x0, y0, x1, y1 in (
            (cx - lw / 2, cy - r - tick, cx + lw / 2, cy - r + tick * 0.6),
            (cx - lw / 2, cy + r - tick * 0.6, cx + lw / 2, cy + r + tick),
            (cx - r - tick, cy - lw / 2, cx - r + tick * 0.6, cy + lw / 2),
            (cx + r - tick * 0.6, cy - lw / 2, cx + r + tick, cy + lw / 2),
        ):
            c.fill(rect(x0, y0, x1, y1), RETICLE, 0.8)

    # the kestrel
    left = wing_left(small)
    parts = [p for p in (left, mirror(left), body(small), tail(small)) if p]
    if not small:
        # keep the wing tips clear of the rim
        parts = [scale_about_centre(p, 0.95) for p in parts]
    c.fill(union(*parts),
           bird_colour_small if small else bird_colour)
    return c.rgba_rows()


# ----------------------------------------------------------- file output --

def ico_image(rows):
    """One ICO entry payload: BITMAPINFOHEADER, BGRA pixels bottom-up, AND mask."""
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                         size * size * 4, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def write_ico(path_, images):
    count = len(images)
    out = bytearray(struct.pack('<HHH', 0, 1, count))
    offset = 6 + 16 * count
    payloads = []
    for size, rows in images:
        data = ico_image(rows)
        dim = 0 if size >= 256 else size
        out += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        payloads.append(data)
    for data in payloads:
        out += data
    with open(path_, 'wb') as f:
        f.write(out)


def write_png(path_, rows, scale=1):
    size = len(rows)
    raw = bytearray()
    for row in rows:
        line = bytearray()
        for pixel in row:
            line += bytes(pixel) * scale
        for _ in range(scale):
            raw += b'\x00' + line

    def chunk(tag, data):
        return (struct.pack('>I', len(data)) + tag + data +
                struct.pack('>I', zlib.crc32(tag + data) & 0xFFFFFFFF))

    w = size * scale
    png = (b'\x89PNG\r\n\x1a\n' +
           chunk(b'IHDR', struct.pack('>IIBBBBB', w, w, 8, 6, 0, 0, 0)) +
           chunk(b'IDAT', zlib.compress(bytes(raw), 9)) +
           chunk(b'IEND', b''))
    with open(path_, 'wb') as f:
        f.write(png)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out = os.path.normpath(os.path.join(here, '..', 'kestrelwood.ico'))
    images = [(s, render(s)) for s in SIZES]
    write_ico(out, images)
    print('wrote', out)
    if len(argv) >= 2 and argv[0] == '--preview':
        d = argv[1]
        os.makedirs(d, exist_ok=True)
        for s, rows in images:
            write_png(os.path.join(d, 'kestrelwood-%d.png' % s), rows)
            write_png(os.path.join(d, 'kestrelwood-%d-x8.png' % s), rows, 8)
        write_png(os.path.join(d, 'kestrelwood-256.png'), render(256))
        print('previews in', d)


if __name__ == '__main__':
    main(sys.argv[1:])
