#!/usr/bin/env python3
"""Draws the program icon (an envelope with a green check shield) at 16, 32 and 48 pixels into vantler.ico."""
import struct
import sys

SUPERSAMPLE = 4


def inside_round_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def near_segment(x, y, ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2


def shade(u, v, small):
    """Colour (r, g, b, a) of the point (u, v) in the unit square, or None for transparent."""
    line = 0.07 if small else 0.045
    # Green badge with a white check, lower right, drawn over the envelope.
    bx, by, br = 0.72, 0.70, 0.27
    if (u - bx) ** 2 + (v - by) ** 2 <= br * br:
        if near_segment(u, v, 0.59, 0.70, 0.68, 0.80, line * 1.6) or \
           near_segment(u, v, 0.68, 0.80, 0.85, 0.58, line * 1.6):
            return (255, 255, 255, 255)
        if (u - bx) ** 2 + (v - by) ** 2 >= (br - line) ** 2:
            return (20, 100, 30, 255)
        return (40, 170, 60, 255)
    # Envelope: light body, dark blue outline and flap.
    x0, y0, x1, y1 = 0.04, 0.18, 0.90, 0.78
    if inside_round_rect(u, v, x0, y0, x1, y1, 0.06):
        if not inside_round_rect(u, v, x0 + line, y0 + line, x1 - line, y1 - line, 0.03):
            return (20, 50, 130, 255)
        if near_segment(u, v, x0 + line, y0 + line, (x0 + x1) / 2, 0.52, line) or \
           near_segment(u, v, (x0 + x1) / 2, 0.52, x1 - line, y0 + line, line):
            return (20, 50, 130, 255)
        if v < 0.52 - abs(u - (x0 + x1) / 2) * 0.75:
            return (205, 225, 250, 255)
        return (245, 248, 255, 255)
    return None


def render(size):
    rows = []
    small = size <= 16
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    u = (x + (sx + 0.5) / SUPERSAMPLE) / size
                    v = (y + (sy + 0.5) / SUPERSAMPLE) / size
                    c = shade(u, v, small)
                    if c:
                        acc[0] += c[0] * c[3]
                        acc[1] += c[1] * c[3]
                        acc[2] += c[2] * c[3]
                        acc[3] += c[3]
            n = SUPERSAMPLE * SUPERSAMPLE
            a = acc[3] // n
            if acc[3]:
                row.append((acc[0] // acc[3], acc[1] // acc[3], acc[2] // acc[3], a))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bitmap_entry(size):
    """BITMAPINFOHEADER, 32-bit BGRA pixels bottom-up, then the 1-bit AND mask."""
    pixels = render(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def main(path):
    sizes = (16, 32, 48)
    images = [bitmap_entry(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'vantler.ico')
