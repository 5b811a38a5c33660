#!/usr/bin/env python3
"""Draws the program's own chat pictures: three smiley sets of twelve and the hand cursor.

resources/smileys/301.png to 312.png ("Crazy yellow", 15 x 15), 401 to 412 ("Artistic
touch", 16 x 16) and 501 to 512 ("Murky batch", 16 x 16) as 256-colour PNGs, picture n of a set
showing smiley code n; resources/cursors/hand.png, a 32 x 32 pointing hand. Only the standard
library is used; run it again to regenerate the files.
"""
import math
import pathlib
import struct
import zlib

ROOT = pathlib.Path(__file__).resolve().parent.parent / "resources"
SAMPLES = 4


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, width, height, pixels, palette_mode):
    """pixels: rows of (r, g, b, a) tuples."""
    raw = bytearray()
    if palette_mode:
        colours = []
        index = {}
        for row in pixels:
            raw.append(0)
            for p in row:
                if p not in index:
                    index[p] = len(colours)
                    colours.append(p)
                raw.append(index[p])
        assert len(colours) <= 256, path
        header = struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0)
        plte = b"".join(bytes(c[:3]) for c in colours)
        trns = bytes(c[3] for c in colours)
        chunks = [png_chunk(b"IHDR", header), png_chunk(b"PLTE", plte), png_chunk(b"tRNS", trns)]
    else:
        for row in pixels:
            raw.append(0)
            for p in row:
                raw.extend(p)
        header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
        chunks = [png_chunk(b"IHDR", header)]
    chunks.append(png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
    chunks.append(png_chunk(b"IEND", b""))
    path.write_bytes(b"\x89PNG\r\n\x1a\n" + b"".join(chunks))


def blend(under, over, alpha):
    return tuple(u + (o - u) * alpha for u, o in zip(under, over))


def render(size, paint, palette_mode=True, step=8):
    """paint(x, y) -> (r, g, b, a) in 0..1 unit square coordinates; supersampled."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    r, g, b, a = paint(x, y)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SAMPLES * SAMPLES
            a = acc[3] / n
            if a <= 0.02:
                row.append((0, 0, 0, 0))
                continue
            colour = [min(255, int(round(c / acc[3] * 255 / step)) * step) for c in acc[:3]]
            alpha = min(255, int(round(a * 255 / 32)) * 32)
            row.append((colour[0], colour[1], colour[2], alpha))
        rows.append(row)
    return rows


def dist(x, y, cx, cy):
    return math.hypot(x - cx, y - cy)


def on_arc(x, y, cx, cy, r, start, end, width):
    d = dist(x, y, cx, cy)
    if abs(d - r) > width:
        return False
    angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
    return start <= angle <= end if start <= end else angle >= start or angle <= end


def face(style, number):
    base, shade, ink, extra = style["base"], style["shade"], style["ink"], style["extra"]
    outline = style["outline"]
    w = style["line"]

    def paint(x, y):
        d = dist(x, y, 0.5, 0.5)
        if d > 0.48:
            return (0, 0, 0, 0)
        # Body: a soft light from the upper left.
        light = max(0.0, min(1.0, 1.0 - dist(x, y, 0.35, 0.3) * 1.4))
        colour = blend(shade, base, light)
        if outline and d > 0.48 - w * 1.2:
            return (*ink, 1)
        eye_y = 0.38
        left, right = (0.35, eye_y), (0.65, eye_y)
        # Eyes by expression.
        if number == 3 and dist(x, y, *right) < 0.1 and abs(y - eye_y) < w * 0.8:
            return (*ink, 1)  # wink
        if number == 11:
            if (abs(y - 0.38) < 0.09 and (abs(x - 0.33) < 0.13 or abs(x - 0.67) < 0.13)) or (
                    abs(y - 0.34) < w * 0.6 and 0.2 < x < 0.8):
                return (*extra, 1)  # sunglasses
        elif number == 12:
            for ex in (0.35, 0.65):
                if on_arc(x, y, ex, eye_y + 0.05, 0.08, 200, 340, w * 0.7):
                    return (*ink, 1)
        elif number == 9:
            for ex in (0.35, 0.65):
                if dist(x, y, ex, eye_y) < 0.09:
                    return (1, 1, 1, 1) if dist(x, y, ex, eye_y - 0.04) > 0.045 else (*ink, 1)
        elif not (number == 3 and x > 0.5):
            for ex, ey in (left, right):
                r = 0.075 if number in (8, 5) else 0.06
                if dist(x, y, ex, ey) < r:
                    return (*ink, 1)
        if number == 6:
            if abs((y - 0.26) - (x - 0.5) * 0.5 * (1 if x > 0.5 else -1)) < w * 0.6 and 0.22 < x < 0.78 \
                    and abs(x - 0.5) > 0.06:
                return (*ink, 1)  # angry brows
        if number == 10 and dist(x, y, 0.3, 0.55) < 0.06:
            return (*extra, 1)  # tear
        # Mouths.
        if number in (1, 3, 9, 11):
            if on_arc(x, y, 0.5, 0.52, 0.22, 25, 155, w * 0.7):
                return (*ink, 1)
        elif number in (2, 6, 10):
            if on_arc(x, y, 0.5, 0.85, 0.2, 215, 325, w * 0.7):
                return (*ink, 1)
        elif number == 4:
            if abs(y - 0.68) < w * 0.6 and 0.32 < x < 0.68:
                return (*ink, 1)
            if dist(x, y, 0.56, 0.75) < 0.08 and y > 0.68:
                return (*extra, 1)
        elif number == 5:
            if dist(x, y, 0.5, 0.58) < 0.22 and y > 0.6:
                return (*ink, 1) if y > 0.68 or dist(x, y, 0.5, 0.58) > 0.2 else (1, 1, 1, 1)
        elif number == 7:
            if abs(y - 0.7) < w * 0.6 and 0.3 < x < 0.7:
                return (*ink, 1)
        elif number == 8:
            if abs(dist(x, y, 0.5, 0.7) - 0.09) < w * 0.6:
                return (*ink, 1)
        elif number == 12:
            if on_arc(x, y, 0.5, 0.55, 0.2, 20, 160, w * 0.7):
                return (*ink, 1)
        return (*colour, 1)

    return paint


STYLES = {
    300: dict(size=15, base=(1.0, 0.9, 0.1), shade=(0.95, 0.6, 0.0), ink=(0.15, 0.08, 0.0),
              extra=(0.2, 0.5, 1.0), outline=False, line=0.07),
    400: dict(size=16, base=(1.0, 0.8, 0.45), shade=(0.85, 0.45, 0.25), ink=(0.3, 0.1, 0.15),
              extra=(0.9, 0.25, 0.35), outline=True, line=0.055),
    500: dict(size=16, base=(0.62, 0.66, 0.42), shade=(0.32, 0.34, 0.22), ink=(0.1, 0.1, 0.06),
              extra=(0.45, 0.55, 0.7), outline=True, line=0.06),
}


def hand(x, y):
    """A pointing hand in a 32-pixel square; the fingertip is near (0.31, 0.03)."""
    def box(x0, y0, x1, y1, r):
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return math.hypot(dx, dy) - r

    shapes = [box(0.22, 0.03, 0.40, 0.62, 0.09),  # index finger
              box(0.22, 0.40, 0.80, 0.92, 0.12),  # palm
              box(0.40, 0.33, 0.56, 0.6, 0.07), box(0.54, 0.37, 0.69, 0.62, 0.07),
              box(0.67, 0.42, 0.80, 0.64, 0.06),
              box(0.06, 0.52, 0.30, 0.70, 0.08)]  # thumb
    d = min(shapes)
    if d > 0.0:
        return (0, 0, 0, 0)
    if d > -0.045:
        return (0, 0, 0, 1)
    return (1, 1, 1, 1)


def main():
    (ROOT / "smileys").mkdir(parents=True, exist_ok=True)
    (ROOT / "cursors").mkdir(parents=True, exist_ok=True)
    for base, style in STYLES.items():
        for number in range(1, 13):
            size = style["size"]
            write_png(ROOT / "smileys" / f"{base + number}.png", size, size,
                      render(size, face(style, number)), True)
    write_png(ROOT / "cursors" / "hand.png", 32, 32, render(32, hand, False, 1), False)


if __name__ == "__main__":
    main()
