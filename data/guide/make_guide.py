#!/usr/bin/env python3
"""Draws the guide drawing: a 197 x 247 one-bit lateral skull and face looking right, on
which the positions the clicking guide points at for the 19 landmarks fall on their
structures.

    python3 make_guide.py [OUT_DIR]     writes guide.bmp and guide_check.png

The sketch is a table of named curves in pixel coordinates (x right, y down), each drawn
through its points with a Catmull-Rom spline and one-pixel lines. A curve whose last point
repeats its first is closed. The demo radiograph generator builds its bone and soft tissue
from the same curves, so both pictures agree on where each structure lies.
Standard library only.
"""
import math
import os
import struct
import sys
import zlib

W, H = 197, 247

# Where the guide points for each landmark, in pixels, in the order the landmarks are
# numbered.
LANDMARKS = {
    "N": (147.9, 43.3), "Or": (139.1, 87.7), "ANS": (147.9, 122.7), "A": (146.1, 133.3),
    "U1 Apex": (137.9, 140.8), "U1 Edge": (158.5, 170.2), "L1 Edge": (151.7, 169.6),
    "L1 Apex": (134.8, 196.5), "B": (138.5, 204.6), "Pog": (139.8, 218.9), "Gn": (133.5, 233.3),
    "Me": (121.1, 230.2), "Go": (25.4, 172.1), "Ar": (25.4, 102.7), "Po": (11.7, 83.3),
    "S": (44.1, 57.7), "PNS": (73.5, 127.7), "Upper Molar": (106.1, 159.6),
    "Lower Molar": (111.1, 162.1),
}


def tooth(apex, edge, stations):
    """Closed outline of a single-rooted tooth seen from the side.

    stations: (t, labial, lingual) with t running from the apex (0) to the edge (1) along
    the long axis and the half widths in pixels on the lip and tongue sides. The labial
    side is the one facing right, towards the face.
    """
    ax, ay = edge[0] - apex[0], edge[1] - apex[1]
    length = math.hypot(ax, ay)
    nx, ny = ay / length, -ax / length
    if nx < 0:
        nx, ny = -nx, -ny

    def at(t, off):
        return (apex[0] + ax * t + nx * off, apex[1] + ay * t + ny * off)

    labial = [at(t, lab) for t, lab, _ in stations]
    lingual = [at(t, -lin) for t, _, lin in reversed(stations)]
    return [apex] + labial + [edge] + lingual + [apex]


# Half widths of the incisors along their axes: a tapering root, the bulge of the crown
# just past the enamel-cement junction, a thin incisal edge; the tongue side of the
# crown is hollow.
UPPER_INCISOR = [(0.08, 1.2, 1.2), (0.3, 2.6, 2.8), (0.5, 3.6, 3.9), (0.6, 4.3, 4.7),
                 (0.72, 4.7, 3.6), (0.85, 3.8, 2.0), (0.95, 2.1, 1.0)]
LOWER_INCISOR = [(0.08, 1.2, 1.2), (0.3, 2.6, 2.6), (0.5, 3.5, 3.5), (0.6, 3.8, 3.9),
                 (0.72, 3.7, 3.0), (0.85, 2.9, 1.8), (0.95, 1.6, 0.9)]

L = LANDMARKS

# The sketch. The names let the radiograph generator pick curves.
SKETCH = {
    # Frontal bone up from the nasion, over the vault; the back of the head lies outside
    # the picture, as on a cephalogram framed for the face.
    "vault outer": [L["N"], (150.6, 36), (149.6, 24), (143.5, 13), (129.5, 5), (106, 1.8),
                    (78, 2.2), (50, 7), (27, 16), (10, 28), (-3, 42)],
    "vault inner": [(141.5, 41), (144.2, 30), (141.5, 19), (133, 11.5), (115, 7), (90, 6.2),
                    (62, 9.6), (38, 17), (19, 27.5), (4, 38.5), (-3, 45)],
    # Floor of the anterior cranial fossa, back from the frontal bone to the sella.
    "anterior cranial base": [(141.5, 41), (125, 43.5), (100, 46), (78, 48.3), (62, 49.6),
                              (56.5, 51.5)],
    # Pituitary fossa: tuberculum, floor and dorsum, S at its centre.
    "sella": [(56.5, 51.5), (53.6, 54), (53, 60), (48.5, 64.6), (41.5, 64.4), (36.8, 60.5),
              (35.4, 54.5), (36.2, 49.6), (38.6, 48)],
    "anterior clinoid": [(57, 50.2), (52, 49.8), (48, 51)],
    # Clivus behind the dorsum, down to the basion; the underside of the skull base
    # crosses the back of the condyle at Ar.
    "clivus": [(36.2, 49.6), (34.8, 60), (31.5, 75), (26.5, 92), (20.5, 107.5)],
    "skull base underside": [(20.5, 107.5), L["Ar"], (31, 97), (37, 92.5)],
    # Pterygomaxillary fissure, its lower tip just above the posterior nasal spine.
    "pterygomaxillary fissure": [(73.3, 124), (70.2, 113), (69.2, 101), (71, 93), (75, 90),
                                 (79, 92.5), (80, 101), (77.6, 113), (73.3, 124)],
    # Orbit, Or its lowest point.
    "orbit": [(134, 51), (142, 55), (146.3, 64), (146.4, 76), (144, 84.5), L["Or"],
              (133, 84.5), (126, 78), (123.8, 67), (127, 56.5), (134, 51)],
    "nasal bone": [L["N"], (150.6, 50), (154.6, 60), (159.2, 70)],
    # Ear canal, Po at its top.
    "ear canal": [L["Po"], (15.2, 84.8), (16.7, 88.3), (15.2, 91.8), (11.7, 93.3),
                  (8.2, 91.8), (6.7, 88.3), (8.2, 84.8), L["Po"]],
    # Palate: the nasal floor from PNS to the tip of ANS, the maxilla's front down
    # through A to the incisor, and the roof of the mouth back to PNS.
    "nasal floor": [L["PNS"], (95, 126), (115, 124.8), (135, 123.5), L["ANS"]],
    "maxilla front": [L["ANS"], (147, 127.5), L["A"], (147.4, 140), (150.2, 147.2),
                      (153.2, 154.2)],
    "palate oral": [L["PNS"], (80, 131.4), (95, 133.4), (115, 134), (127.5, 136.6),
                    (133.4, 144), (139, 154), (144.6, 160)],
    "maxillary tuberosity": [L["PNS"], (76, 134.5), (82, 141.5), (90, 146.5), (97.6, 149.2)],
    "upper incisor": tooth(L["U1 Apex"], L["U1 Edge"], UPPER_INCISOR),
    "lower incisor": tooth(L["L1 Apex"], L["L1 Edge"], LOWER_INCISOR),
    # First molars, each landmark on the middle cusp of its tooth's biting surface.
    "upper molar": [(97.6, 157.8), (96.8, 153), (97.6, 149.2), (97.3, 142), (98.8, 135.8),
                    (101.2, 139.5), (103.6, 147.6), (106.4, 145.5), (108.8, 139),
                    (111, 134.8), (113, 139.5), (113.6, 149.2), (115, 153),
                    (114.6, 157.8), (111.2, 159.5), (108.6, 158.7), L["Upper Molar"],
                    (103.6, 158.7), (101, 159.5), (97.6, 157.8)],
    "lower molar": [(102, 163.8), (105.5, 162.2), (108.3, 163.1), L["Lower Molar"],
                    (113.9, 163.1), (116.7, 162.2), (120.2, 163.8), (121.1, 168),
                    (120.2, 172.5), (119.8, 181), (118.4, 190), (116, 184), (113.5, 177),
                    (110.4, 183.5), (106.8, 189.5), (104.7, 181), (103.6, 172.5),
                    (101.3, 168), (102, 163.8)],
    # Mandible in one stroke: the chin from the incisor's socket through B, Pog, Gn and
    # Me, the lower border to the angle at Go, the back of the ramus up through Ar to the
    # condyle, the notch, the coronoid process and the ramus' front edge down to the
    # teeth.
    "mandible": [(147.8, 184.2), (143.5, 192), (139.2, 199), L["B"], (139.2, 211), L["Pog"],
                 (139.2, 226.4), (136.8, 231.3), L["Gn"], (127.5, 232.6), L["Me"],
                 (110, 226.6), (90, 219.5), (66, 208), (47, 196), (36, 186.5), (29.5, 179),
                 L["Go"], (23.3, 162), (22.6, 145), (23.2, 125), (24.3, 110), L["Ar"],
                 (25.4, 96), (24.2, 91.5), (26.2, 88.2), (30.5, 87.4), (34, 89.8), (35.2, 95),
                 (36.6, 102), (41, 108), (46, 110.5), (52, 108), (57, 102.5), (61, 97.5),
                 (63, 101), (62.5, 112), (62.8, 128), (65, 145), (70, 157), (79, 165),
                 (90, 169.5)],
    # Rim of the tooth sockets behind and in front of the molar.
    "lower alveolar crest": [(90, 169.5), (97, 171.8), (103.6, 172.5)],
    "lower alveolar crest front": [(120.2, 172.5), (127, 174.8), (134, 177.6), (140.4, 180.6)],
    # Tongue side of the chin, inside which the lower incisor's root ends.
    "symphysis inner": [(140.4, 180.6), (133.5, 186.6), (127.5, 195), (122.6, 206),
                        (119.2, 218), (118.8, 225.5), (122.5, 229.8)],
    # Soft tissue: forehead, nose, upper lip; lower lip, chin and the throat below it.
    "profile upper": [(152.8, 1), (154.6, 12), (156.2, 27), (155.6, 39), (154.6, 46.5),
                      (158, 55), (166, 70), (176, 87), (185, 102), (188.6, 109), (187, 114.8),
                      (181, 118.4), (172, 120.4), (166.5, 122.6), (166.6, 130), (170.4, 140),
                      (174, 147.6), (173.2, 156), (169.6, 163), (164.6, 167.6)],
    "profile lower": [(164.6, 169), (169.2, 173.4), (171.6, 181), (169.6, 191), (163.6, 199),
                      (159.6, 204.6), (160.6, 212), (163, 221), (162, 231), (157, 240),
                      (148, 245.6), (136, 248.5)],
    "lips": [(164.6, 168.3), (159.6, 168.8)],
    "nostril": [(176, 113.4), (172, 109.4), (168, 110), (166.2, 113.6), (168.6, 117.6),
                (174, 119.4)],
}


def spline(points, steps=12):
    """Catmull-Rom spline through the points, as a dense polyline."""
    if len(points) < 3:
        return list(points)
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
                                    + (-p0[k] + 3 * p1[k] - 3 * p2[k] + p3[k]) * t3)
                             for k in (0, 1)))
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

    for curve in SKETCH.values():
        dense = spline(curve)
        for a, b in zip(dense, dense[1:]):
            line(a, b)
    return ink


def write_bmp(path, ink):
    """One bit a pixel, rows bottom-up and padded to four bytes; palette 0 black, 1 white."""
    row_bytes = ((W + 31) // 32) * 4
    pixels = bytearray()
    for y in range(H - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(W):
            if not ink[y][x]:
                row[x // 8] |= 0x80 >> (x % 8)
        pixels += row
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 1, 0, len(pixels), 3780, 3780, 2, 2)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


def write_png(path, rows):
    """Rows of (r, g, b) tuples as an 8-bit RGB PNG."""
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in rows)

    def chunk(kind, data):
        crc = struct.pack(">I", zlib.crc32(kind + data))
        return struct.pack(">I", len(data)) + kind + data + crc

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def write_check_png(path, ink, scale=3):
    """The drawing enlarged, with a red ring around each landmark, to check by eye."""
    w, h = W * scale, H * scale
    img = [[(0, 0, 0) if ink[y // scale][x // scale] else (255, 255, 255) for x in range(w)]
           for y in range(h)]
    for lx, ly in LANDMARKS.values():
        cx, cy = (lx + 0.5) * scale, (ly + 0.5) * scale  # the centre of the pixel
        for y in range(int(cy) - 8, int(cy) + 9):
            for x in range(int(cx) - 8, int(cx) + 9):
                if 0 <= x < w and 0 <= y < h and 4.5 <= math.hypot(x + 0.5 - cx, y + 0.5 - cy) <= 6:
                    img[y][x] = (230, 0, 0)
    write_png(path, img)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    ink = rasterise()
    write_bmp(os.path.join(out, "guide.bmp"), ink)
    write_check_png(os.path.join(out, "guide_check.png"), ink)


if __name__ == "__main__":
    main()
