#!/usr/bin/env python3
"""Draws the guide drawing: a 197 x 247 one-bit lateral skull and face looking right,
on which the clicking guide's landmark positions fall on their structures.

    python3 make_guide.py [OUT_DIR]     writes guide.bmp and guide_check.png

The sketch is a list of curves in pixel coordinates (x right, y down), each drawn through
its points with a smooth spline and one-pixel lines. Standard library only.
"""
import os
import struct
import sys
import zlib

W, H = 197, 247

# Landmark positions on the drawing, in pixels: where the guide's arrow points.
LANDMARKS = {
    "N": (147.9, 43.3), "Or": (139.1, 87.7), "ANS": (147.9, 122.7), "A": (146.1, 133.3),
    "U1 Apex": (137.9, 140.8), "U1 Edge": (158.5, 170.2), "L1 Edge": (151.7, 169.6),
    "L1 Apex": (134.8, 196.5), "B": (138.5, 204.6), "Pog": (139.8, 218.9), "Gn": (133.5, 233.3),
    "Me": (121.1, 230.2), "Go": (25.4, 172.1), "Ar": (25.4, 102.7), "Po": (11.7, 83.3),
    "S": (44.1, 57.7), "PNS": (73.5, 127.7), "Upper Molar": (106.1, 159.6),
    "Lower Molar": (111.1, 162.1),
}

# Curves of the sketch; closed ones repeat their first point at the end.
SKETCH = [
    # cranial vault, from the frontal bone over the top to the occiput
    [(148, 43), (147, 30), (138, 16), (118, 5), (88, 2), (58, 5), (33, 15), (14, 32), (4, 55),
     (2, 78), (5, 100), (12, 118)],
    # anterior cranial base from the sella to the nasion
    [(54, 53), (75, 49), (100, 46), (125, 43), (148, 43)],
    # sella turcica around S
    [(32, 52), (34, 61), (44, 67), (54, 61), (55, 52)],
    # nasal bone
    [(148, 43), (153, 55), (160, 70)],
    # orbit, its lowest rim point at Or
    [(137, 52), (149, 60), (151, 74), (146, 85), (139, 88), (130, 85), (124, 73), (127, 59),
     (137, 52)],
    # ear canal with its top at Po
    [(11.7, 83.3), (16, 86), (16, 92), (11, 95), (6, 91), (7, 85), (11.7, 83.3)],
    # front of the maxilla: nasal floor to ANS, down through A to the incisors
    [(128, 118), (140, 121), (148, 123), (146, 128), (146, 133), (147, 142), (151, 152)],
    # palate: nasal floor and oral side from ANS to PNS
    [(148, 123), (120, 124), (95, 126), (73.5, 127.7)],
    [(146, 131), (120, 136), (95, 136), (78, 131), (73.5, 127.7)],
    # upper incisor from apex to edge
    [(137.9, 140.8), (143, 139), (154, 155), (159.5, 170.5), (155, 167), (146, 156),
     (136, 144), (137.9, 140.8)],
    # lower incisor from edge to apex
    [(151.7, 169.6), (155, 173), (150, 188), (137, 198), (133, 195), (142, 183), (149, 171),
     (151.7, 169.6)],
    # upper and lower first molars, meeting at the occlusal plane
    [(97, 145), (114, 145), (115, 159), (96, 159), (97, 145)],
    [(102, 163), (121, 163), (120, 178), (103, 178), (102, 163)],
    [(100, 159), (102, 152)], [(110, 159), (112, 152)],
    [(107, 163), (106, 171)], [(116, 163), (117, 171)],
    # mandible: alveolar crest, symphysis through B, Pog, Gn to Me, lower border to Go,
    # ramus up to the condyle at Ar
    [(150, 176), (142, 190), (138.5, 204.6), (140.5, 212), (139.8, 218.9), (137, 228),
     (133.5, 233.3), (127, 233), (121.1, 230.2), (95, 222), (65, 210), (40, 193),
     (25.4, 172.1), (20, 150), (21, 125), (25.4, 102.7), (23, 96), (27, 91), (34, 95),
     (35, 104)],
    # front of the ramus up to the coronoid process
    [(35, 104), (40, 120), (46, 108), (52, 118), (52, 140), (58, 158), (72, 166), (100, 165)],
    # inner outline of the symphysis
    [(128, 196), (124, 210), (122, 222), (121, 228)],
    # soft tissue: forehead, nose, lips, chin
    [(152, 2), (160, 20), (161, 38), (157, 47), (163, 62), (172, 80), (182, 100), (186, 110),
     (178, 117), (168, 119), (163, 124), (166, 138), (169, 152), (168, 163), (162, 168)],
    [(162, 171), (167, 177), (168, 188), (163, 197), (158, 205), (161, 215), (160, 228),
     (153, 240), (140, 246)],
    # neck line under the chin
    [(140, 246), (118, 240), (100, 238)],
]


def spline(points, steps=12):
    """Catmull-Rom spline through the points, as a dense polyline."""
    if len(points) < 3:
        return points
    closed = points[0] == points[-1]
    pts = [points[-2]] + points + [points[1]] if closed else [points[0]] + points + [points[-1]]
    out = []
    for i in range(1, len(pts) - 2):
        p0, p1, p2, p3 = pts[i - 1], pts[i], pts[i + 1], pts[i + 2]
        for s in range(steps):
            t = s / steps
            t2, t3 = t * t, t * t * t
            out.append(tuple(0.5 * ((2 * p1[k]) + (-p0[k] + p2[k]) * t
                                    + (2 * p0[k] - 5 * p1[k] + 4 * p2[k] - p3[k]) * t2
                                    + (-p0[k] + 3 * p1[k] - 3 * p2[k] + p3[k]) * t3) for k in (0, 1)))
    out.append(points[-1])
    return out


def rasterise():
    ink = [[False] * W for _ in range(H)]

    def plot(x, y):
        if 0 <= x < W and 0 <= y < H:
            ink[y][x] = True

    def line(a, b):
        x0, y0, x1, y1 = round(a[0]), round(a[1]), round(b[0]), round(b[1])
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            plot(x0, y0)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    for curve in SKETCH:
        dense = spline(curve)
        for a, b in zip(dense, dense[1:]):
            line(a, b)
    return ink


def write_bmp(path, ink):
    row_bytes = ((W + 31) // 32) * 4
    pixels = bytearray()
    for y in range(H - 1, -1, -1):  # bottom-up
        row = bytearray(row_bytes)
        for x in range(W):
            if not ink[y][x]:  # index 1 = white
                row[x // 8] |= 0x80 >> (x % 8)
        pixels += row
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 1, 0, len(pixels), 3780, 3780, 2, 2)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


def write_check_png(path, ink, scale=3):
    """The drawing enlarged with the landmarks circled in red, to check by eye."""
    w, h = W * scale, H * scale
    img = [[(255, 255, 255) if not ink[y // scale][x // scale] else (0, 0, 0) for x in range(w)]
           for y in range(h)]
    for (lx, ly) in LANDMARKS.values():
        cx, cy = lx * scale, ly * scale
        for y in range(int(cy) - 8, int(cy) + 9):
            for x in range(int(cx) - 8, int(cx) + 9):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if 0 <= x < w and 0 <= y < h and 5 <= d <= 7:
                    img[y][x] = (255, 0, 0)
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in img)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    ink = rasterise()
    write_bmp(os.path.join(out, "guide.bmp"), ink)
    write_check_png(os.path.join(out, "guide_check.png"), ink)


if __name__ == "__main__":
    main()
