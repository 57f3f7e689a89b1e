#!/usr/bin/env python3
"""Draws the demo radiograph: a synthetic grey lateral cephalogram of a head looking right.

    python3 make_radiograph.py [OUT.jpg]

writes OUT.jpg (by default ../demo/pictures/10234_3.jpg) through `cjpeg` from
libjpeg-turbo-progs, and landmarks.txt beside this script: where the 19 landmarks lie on the
picture, in pixels. With OUT ending in .pgm the picture is written as a PGM and cjpeg is not
needed.

The anatomy is that of the guide drawing (../guide/make_guide.py), whose named curves give
the outlines, enlarged 6.4 times and tilted by two degrees about the sella, so that S-N
measures some 670 pixels, about 67 mm at 0.1 mm a pixel. Each tissue adds its density to an
attenuation map: soft tissue thickening inwards from the profile, bone, teeth, less where
air fills the airway, the sinuses and the ear canal; edge-on cortices add bright lines. The
map is blurred, turned into brightness as film would (1 - exp(-density)), and grained.
Standard library only.
"""
import array
import itertools
import math
import os
import random
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "guide"))
import make_guide as guide  # noqa: E402

W, H = 1400, 1700
SCALE = 6.4
CORNER = (-22.0, -10.0)  # the guide point that lands on the picture's top-left corner
TILT = math.radians(-2.0)  # chin a little forward of the guide's pose
PIVOT = guide.LANDMARKS["S"]

SK = guide.SKETCH
L = guide.LANDMARKS


def to_px(p):
    """Guide pixels to picture pixels."""
    dx, dy = p[0] - PIVOT[0], p[1] - PIVOT[1]
    c, s = math.cos(TILT), math.sin(TILT)
    gx, gy = PIVOT[0] + c * dx - s * dy, PIVOT[1] + s * dx + c * dy
    return ((gx - CORNER[0]) * SCALE, (gy - CORNER[1]) * SCALE)


def curve(*parts, steps=12):
    """Picture-pixel polyline through guide points; parts are point lists or sketch names."""
    pts = []
    for part in parts:
        seq = SK[part] if isinstance(part, str) else part
        pts.extend(seq)
    return [to_px(p) for p in guide.spline(pts, steps)]


def chain(*parts, steps=12):
    """Like curve, but each part is splined on its own so corners between parts stay sharp."""
    out = []
    for part in parts:
        seq = SK[part] if isinstance(part, str) else part
        if len(seq) == 1:
            out.append(to_px(seq[0]))
        else:
            out.extend(to_px(p) for p in guide.spline(list(seq), steps))
    return out


def rev(name):
    return list(reversed(SK[name]))


def offset(points, dx, dy):
    return [(x + dx, y + dy) for x, y in points]


class Layer:
    """A float map the size of the picture, kept as rows of single-precision arrays."""

    def __init__(self):
        self.rows = [array.array("f", bytes(4 * W)) for _ in range(H)]

    def fill(self, poly, value):
        """Adds value inside the polygon (picture pixels, even-odd rule, pixel centres)."""
        n = len(poly)
        ys = [p[1] for p in poly]
        for y in range(max(0, int(min(ys))), min(H, int(max(ys)) + 1)):
            cy = y + 0.5
            xs = []
            for i in range(n):
                (x0, y0), (x1, y1) = poly[i], poly[(i + 1) % n]
                if (y0 <= cy < y1) or (y1 <= cy < y0):
                    xs.append(x0 + (cy - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            row = self.rows[y]
            for a, b in zip(xs[0::2], xs[1::2]):
                a, b = max(0, int(a + 0.5)), min(W, int(b + 0.5))
                if a < b:
                    row[a:b] = array.array("f", [v + value for v in row[a:b]])

    def ellipse(self, centre, rx, ry, value, angle=0.0):
        c, s = math.cos(angle), math.sin(angle)
        poly = [(centre[0] + rx * math.cos(t) * c - ry * math.sin(t) * s,
                 centre[1] + rx * math.cos(t) * s + ry * math.sin(t) * c)
                for t in (i * math.pi / 32 for i in range(64))]
        self.fill(poly, value)

    def stroke(self, line, width, value):
        """Adds a line of the given width whose density falls off like a rod seen from the
        side: full on its axis, nothing at its edges. Overlapping parts of one line do not
        add up."""
        r = width / 2
        mask = {}
        for (ax, ay), (bx, by) in zip(line, line[1:]):
            vx, vy = bx - ax, by - ay
            ll = vx * vx + vy * vy or 1e-9
            for y in range(max(0, int(min(ay, by) - r)), min(H, int(max(ay, by) + r) + 1)):
                for x in range(max(0, int(min(ax, bx) - r)), min(W, int(max(ax, bx) + r) + 1)):
                    px, py = x + 0.5 - ax, y + 0.5 - ay
                    t = max(0.0, min(1.0, (px * vx + py * vy) / ll))
                    d2 = (px - t * vx) ** 2 + (py - t * vy) ** 2
                    if d2 < r * r:
                        w = math.sqrt(1 - d2 / (r * r))
                        key = y * W + x
                        if mask.get(key, 0) < w:
                            mask[key] = w
        for key, w in mask.items():
            self.rows[key // W][key % W] += value * w

    def blur(self, radius, passes=3):
        """Repeated box blur, close to a Gaussian; edges repeat the border pixels."""
        if radius < 1:
            return
        k = 2 * radius + 1
        inv = 1.0 / k
        for _ in range(passes):
            for y in range(H):
                row = self.rows[y].tolist()
                padded = [row[0]] * (radius + 1) + row + [row[-1]] * radius
                cs = list(itertools.accumulate(padded))
                self.rows[y] = array.array("f", [(cs[i + k] - cs[i]) * inv for i in range(W)])
            rows = self.rows
            acc = [v * (radius + 1) for v in rows[0]]
            for y in range(1, radius + 1):
                acc = [a + b for a, b in zip(acc, rows[min(y, H - 1)])]
            out = []
            for y in range(H):
                out.append(array.array("f", [a * inv for a in acc]))
                add, sub = rows[min(y + radius + 1, H - 1)], rows[max(y - radius, 0)]
                acc = [a + b - c for a, b, c in zip(acc, add, sub)]
            self.rows = out


def tooth_poly(apex, edge, stations, t_from=0.0):
    """Outline of an incisor-like tooth in picture pixels; from t_from on only (the crown)."""
    if t_from <= 0:
        return [to_px(p) for p in guide.spline(guide.tooth(apex, edge, stations))]
    ax, ay = edge[0] - apex[0], edge[1] - apex[1]
    length = math.hypot(ax, ay)
    nx, ny = ay / length, -ax / length
    if nx < 0:
        nx, ny = -nx, -ny
    kept = [s for s in stations if s[0] >= t_from]
    base = apex[0] + ax * t_from, apex[1] + ay * t_from
    pts = [base] + [(apex[0] + ax * t + nx * a, apex[1] + ay * t + ny * a) for t, a, _ in kept]
    pts += [edge] + [(apex[0] + ax * t - nx * b, apex[1] + ay * t - ny * b)
                     for t, _, b in reversed(kept)] + [base]
    return [to_px(p) for p in guide.spline(pts)]


# Teeth that are not on the guide: canines and premolars as single-rooted teeth, given by
# apex, tip and half widths; their density is lower because they lie off the midline,
# blurred by the spread of the beam.
CANINE = [(0.08, 1.5, 1.5), (0.3, 3.2, 3.2), (0.55, 4.4, 4.4), (0.68, 5.0, 5.0),
          (0.8, 4.6, 4.3), (0.92, 2.6, 2.4)]
PREMOLAR = [(0.08, 1.4, 1.4), (0.3, 2.8, 2.8), (0.55, 3.8, 3.8), (0.66, 4.6, 4.6),
            (0.8, 4.9, 4.9), (0.93, 4.0, 4.0), (0.98, 2.4, 2.4)]
SIDE_TEETH = [  # apex, tip, stations, crown from t
    ((124.0, 120.0), (139.0, 164.5), CANINE, 0.68),    # upper canine
    ((124.5, 206.0), (140.0, 168.0), CANINE, 0.7),     # lower canine
    ((118.5, 135.0), (121.5, 161.2), PREMOLAR, 0.62),  # upper second premolar
    ((128.0, 134.5), (131.0, 162.8), PREMOLAR, 0.62),  # upper first premolar
    ((124.5, 194.5), (126.0, 164.0), PREMOLAR, 0.66),  # lower second premolar
    ((133.0, 197.0), (135.5, 165.8), PREMOLAR, 0.66),  # lower first premolar
]

# Pulp chamber and root canals of the first molars.
MOLAR_PULPS = {
    "upper molar": ([(101, 150.5), (110.5, 150.5), (110, 154.6), (106, 155.4), (101.6, 154.6),
                     (101, 150.5)],
                    [[(101.5, 151), (100.6, 145), (99.6, 139.5)],
                     [(110, 151), (110.8, 145), (110.8, 138.5)]]),
    "lower molar": ([(106.4, 166.4), (111, 165.8), (116, 166.4), (116.2, 170.8), (106.4, 170.8),
                     (106.4, 166.4)],
                    [[(106.8, 170), (106.4, 178), (106.6, 187)],
                     [(116, 170), (117, 178), (118, 187.5)]]),
}


def draw():
    """The attenuation of each tissue, in layers that the film blurs differently: soft
    tissue, bone far from the midline or thin and spread out (diffuse), bone, cortices seen
    edge-on, and teeth."""
    soft, diffuse, bone, cortex = Layer(), Layer(), Layer(), Layer()
    teeth, faint = Layer(), Layer()

    # Soft tissue: the head's outline, the scalp over the vault, closed round the back of
    # the head and the neck outside the picture; thicker the further in.
    head = chain("profile upper", "profile lower",
                 [(124, 251.5), (112, 262), (-40, 262)],
                 [(-40, 72), (-7, 38.5), (6, 24), (26, 10.5), (50, 1.5), (78, -3.5), (106, -4.5),
                  (122, -6), (137, -5.8), (147.5, -2.8), (152.8, 1)])
    soft.fill(head, 1.0)
    thick = Layer()
    thick.rows = [array.array("f", r) for r in soft.rows]
    thick.blur(45, passes=3)
    for y in range(H):
        soft.rows[y] = array.array("f", [m * (0.08 + 0.34 * t)
                                         for m, t in zip(soft.rows[y], thick.rows[y])])
    # The ear's shell over the ear canal, and air: the pharynx behind the soft palate and
    # the tongue, and the mouth's air between the tongue and the palate.
    soft.ellipse(to_px((13, 92)), 17 * SCALE, 27 * SCALE, 0.05, TILT + 0.25)
    airway = chain([(72, 124), (66, 131), (58, 140), (50, 150), (44, 160), (36, 171),
                    (31.5, 186), (30.5, 205), (31.5, 225), (33, 262), (20, 262), (18, 230),
                    (16.5, 200), (15.5, 170), (16, 140), (20, 124), (30, 111), (45, 103),
                    (60, 100.5), (70, 108), (72, 124)])
    soft.fill(airway, -0.2)
    soft.fill(curve([(78, 135.2), (95, 137.2), (115, 138.4), (126, 141), (131, 147),
                     (126, 145.5), (115, 142), (95, 140), (80, 138.4), (78, 135.2)]), -0.1)

    # Cranial vault: a band between the outer and inner tables, over a brain case seen
    # through both side walls; the frontal sinus between the tables.
    vault = chain("vault outer", [(-40, 56)]) + list(reversed(chain("vault inner", [(-40, 60)])))
    bone.fill(vault, 0.5)
    brain = chain("vault inner", [(-40, 60), (-40, 130), (-10, 121), (8, 112)],
                  [(20.5, 107.5)], rev("clivus"), rev("sella"), rev("anterior cranial base"))
    diffuse.fill(brain, 0.3)
    cortex.stroke(curve("vault outer", [(-40, 56)]), 12, 0.35)
    cortex.stroke(curve("vault inner", [(-40, 60)]), 9, 0.3)
    bone.ellipse(to_px((146.4, 31.5)), 2.3 * SCALE, 5.2 * SCALE, -0.35, TILT - 0.15)
    # Vessel grooves on the inside of the vault.
    for groove in ([(72, 60), (66, 45), (64, 30), (58, 16)], [(66, 45), (52, 33), (38, 26)]):
        cortex.stroke(curve(groove), 7, -0.05)
    # Floor of the front of the skull, the orbital roofs a little below it, and the
    # greater wings of the sphenoid curving down in front of the sella.
    cortex.stroke(curve("anterior cranial base"), 13, 0.45)
    cortex.stroke(curve([(139, 44.5), (122, 49.5), (104, 51.5), (86, 53)]), 9, 0.2)
    cortex.stroke(curve([(92, 50), (84, 58), (80, 68), (82, 80)]), 9, 0.15)
    # Sphenoid body under the sella with its air sinus; the clivus behind; the dense
    # temporal bone round the ear canal, the canal itself dark.
    sphenoid = chain(SK["sella"][:-1], "clivus", [L["Ar"]],
                     [(35, 93.5), (47, 84.5), (60, 79), (72, 80), (84, 76), (90, 66),
                      (86, 56), (70, 50.5)])
    diffuse.fill(sphenoid, 0.45)
    diffuse.fill(curve([(56.5, 59), (66, 55.5), (78, 58.5), (81, 68), (75, 76), (64, 77),
                        (57, 71), (55, 64), (56.5, 59)]), -0.25)
    cortex.stroke(curve("sella"), 11, 0.55)
    cortex.stroke(curve("anterior clinoid"), 8, 0.35)
    cortex.stroke(curve("clivus"), 13, 0.3)
    cortex.stroke(curve("skull base underside", [(47, 84.5), (60, 79)]), 9, 0.25)
    diffuse.fill(curve([(-14, 80), (2, 70), (20, 69), (33, 72), (42, 80), (38, 90), (27, 97),
                        (12, 103), (0, 110), (-8, 104), (-14, 92), (-14, 80)]), 0.5)
    diffuse.ellipse(to_px((3, 106)), 5.5 * SCALE, 8.5 * SCALE, 0.25)  # mastoid
    bone.ellipse(to_px((11.7, 88.3)), 4.2 * SCALE, 4.6 * SCALE, -0.5)
    cortex.stroke(curve("ear canal"), 7, 0.2)

    # The walls of the orbits and of the nose between the skull base and the palate; the
    # orbit a thin rim round a hollow; nasal bone; the cheek bone below and behind.
    diffuse.fill(curve([(84, 52), (120, 46), (141, 44), (149, 60), (150, 90), (149, 118),
                        (110, 121), (80, 112), (76, 80), (84, 52)]), 0.15)
    diffuse.fill(curve("orbit"), -0.06)
    cortex.stroke(curve("orbit"), 11, 0.25)
    cortex.stroke(curve([(127, 56.5), (134, 51), (142, 55), (146.3, 64), (146.4, 76)]), 12, 0.1)
    cortex.stroke(curve("nasal bone"), 12, 0.55)
    diffuse.fill(curve([(108, 84), (126, 85), (138, 95), (134, 110), (120, 116), (104, 110),
                        (100, 95), (108, 84)]), 0.25)
    cortex.stroke(curve([(122, 90), (115, 100), (111, 111), (114, 121)]), 13, 0.2)

    # Maxilla round the maxillary sinus; the palate and the bone holding the front teeth;
    # the pterygoid plates behind the fissure.
    maxilla = chain([(122, 87), (139.1, 90), (146, 89), (149, 100), (147, 113)],
                    "maxilla front",
                    [(140, 158.5), (125, 154), (115, 151.5)], rev("maxillary tuberosity"),
                    [(77.6, 113), (80, 101), (79, 92.5), (95, 88), (110, 86.5)])
    diffuse.fill(maxilla, 0.35)
    diffuse.fill(curve([(88, 100), (104, 93), (122, 94), (134, 104), (134, 115), (121, 120.5),
                        (101, 122), (88, 117), (85, 108), (88, 100)]), -0.22)
    cortex.stroke(curve([(88, 117), (101, 122), (121, 120.5), (134, 115)]), 8, 0.15)
    palate = chain("nasal floor", "maxilla front", list(reversed(SK["palate oral"])))
    bone.fill(palate, 0.45)
    cortex.stroke(curve("nasal floor"), 9, 0.3)
    cortex.stroke(curve("palate oral"), 8, 0.25)
    cortex.stroke(curve("maxilla front"), 8, 0.3)
    diffuse.fill(curve("pterygomaxillary fissure"), -0.2)
    cortex.stroke(curve("pterygomaxillary fissure"), 7, 0.2)
    diffuse.fill(curve([(58, 82), (68, 86), (69.5, 100), (70.5, 113), (73, 124), (66, 127),
                        (60, 114), (57, 96), (58, 82)]), 0.25)

    # Mandible: thin in the ramus and body, thick in the chin, with dense cortices along
    # its borders, the nerve's canal, and the far side's lower border a little lower and
    # behind.
    mandible = chain("mandible", "lower alveolar crest", [(103.6, 172.5), (120.2, 172.5)],
                     "lower alveolar crest front")
    bone.fill(mandible, 0.3)
    symphysis = chain([(147.8, 184.2), (143.5, 192), (139.2, 199), L["B"], (139.2, 211),
                       L["Pog"], (139.2, 226.4), (136.8, 231.3), L["Gn"], (127.5, 232.6),
                       L["Me"]], rev("symphysis inner"))
    bone.fill(symphysis, 0.35)
    lower_border = curve([L["Pog"], (139.2, 226.4), (136.8, 231.3), L["Gn"], (127.5, 232.6),
                          L["Me"], (110, 226.6), (90, 219.5), (66, 208), (47, 196),
                          (36, 186.5), (29.5, 179), L["Go"], (23.3, 162)])
    cortex.stroke(lower_border, 22, 0.55)
    cortex.stroke(offset(lower_border[20:-6], -2.5 * SCALE, 2.5 * SCALE), 16, 0.12)
    cortex.stroke(curve([L["Go"], (23.3, 162), (22.6, 145), (23.2, 125), (24.3, 110), L["Ar"],
                         (25.4, 96), (24.2, 91.5), (26.2, 88.2), (30.5, 87.4), (34, 89.8),
                         (35.2, 95), (36.6, 102), (41, 108), (46, 110.5), (52, 108),
                         (57, 102.5), (61, 97.5)]), 13, 0.35)
    cortex.stroke(curve([(147.8, 184.2), (143.5, 192), (139.2, 199), L["B"], (139.2, 211),
                         L["Pog"]]), 13, 0.45)
    cortex.stroke(curve("symphysis inner"), 13, 0.4)
    cortex.stroke(curve([(61, 97.5), (63, 101), (62.5, 112), (62.8, 128), (65, 145), (70, 157),
                         (79, 165), (90, 169.5), (97, 175), (104, 178)]), 13, 0.3)
    cortex.stroke(curve([(44, 140), (55, 162), (72, 182), (95, 198), (112, 205)]), 12, -0.06)

    # Spine: the atlas' front arch and the bodies of the second to sixth vertebrae, the
    # dens of the second reaching up behind the arch.
    bone.ellipse(to_px((10.5, 117)), 3.2 * SCALE, 5.2 * SCALE, 0.45)
    axis = [(-14, 150), (-14, 124), (-9, 114), (-3.5, 104.5), (1.5, 105), (3, 114), (6, 124),
            (6.5, 147), (4, 151.5), (-14, 150)]
    bone.fill(curve(axis), 0.35)
    cortex.stroke(curve(axis), 9, 0.2)
    for top, front in ((157, 6.3), (183, 5.4), (209, 3.8), (235, 1.6)):
        body = [(front - 22, top + 1), (front - 0.5, top), (front + 0.6, top + 9),
                (front, top + 19), (front - 22, top + 20), (front - 22, top + 1)]
        bone.fill(curve(body), 0.35)
        cortex.stroke(curve(body), 9, 0.2)
    # Hyoid bone under the jaw.
    bone.ellipse(to_px((91, 245.5)), 4 * SCALE, 2.4 * SCALE, 0.3, TILT + 0.3)
    cortex.stroke(curve([(91, 245.5), (84, 242.4), (76, 240), (66, 237.6)]), 8, 0.2)

    # Teeth: the first molars and the incisors sharp, denser in the enamel of their
    # crowns; the second molars, canines, premolars and the far side's teeth, which lie
    # further from the film, fainter and blurred.
    for name, crown_edge in (("upper molar", 149.2), ("lower molar", 172.5)):
        outline = curve(name)
        teeth.fill(outline, 0.6)
        crown = [p for p in SK[name] if (p[1] >= crown_edge) == (name == "upper molar")]
        teeth.fill(curve(crown), 0.45)
        chamber, canals = MOLAR_PULPS[name]
        teeth.fill(curve(chamber), -0.35)
        for canal in canals:
            teeth.stroke(curve(canal), 9, -0.3)
        for dx, dy, value in ((-16.5, -1.8, 0.7), (-2.5, -0.8, 0.3)):
            faint.fill(offset(outline, dx * SCALE, dy * SCALE), value)
    for apex, tip, stations, crown in SIDE_TEETH:
        faint.fill(tooth_poly(apex, tip, stations), 0.4)
        faint.fill(tooth_poly(apex, tip, stations, crown), 0.4)
    for apex, tip, stations in ((L["U1 Apex"], L["U1 Edge"], guide.UPPER_INCISOR),
                                (L["L1 Apex"], L["L1 Edge"], guide.LOWER_INCISOR)):
        teeth.fill(tooth_poly(apex, tip, stations), 0.75)
        teeth.fill(tooth_poly(apex, tip, stations, 0.6), 0.6)
        pulp = [(t, 0.25 + 0.9 * t, 0.25 + 0.9 * t) for t in (0.1, 0.3, 0.5, 0.65)]
        teeth.fill(tooth_poly(apex, (apex[0] + (tip[0] - apex[0]) * 0.78,
                                     apex[1] + (tip[1] - apex[1]) * 0.78), pulp), -0.3)
        far = tooth_poly((apex[0] - 2.5, apex[1] - 1.0), (tip[0] - 2.6, tip[1] - 1.2), stations)
        faint.fill(far, 0.35)
    return soft, diffuse, bone, cortex, teeth, faint


def ruler(layer):
    """The nasion rest of the head holder: a plastic rod with a metal scale, one mark every
    10 pixels (1 mm), longer every 5 mm and 10 mm, resting on the soft-tissue nasion."""
    nasion = to_px((154.6, 46.5))
    x0 = nasion[0] + 40
    layer.fill([(x0, 0), (x0 + 22, 0), (x0 + 22, nasion[1] + 14),
                (nasion[0] + 2, nasion[1] + 14), (nasion[0] + 2, nasion[1] - 6),
                (x0, nasion[1] - 6)], 0.12)
    for i, y in enumerate(range(int(nasion[1] - 20), 0, -10)):
        length = 16 if i % 10 == 0 else 11 if i % 5 == 0 else 6
        layer.fill([(x0 + 2, y), (x0 + 2 + length, y), (x0 + 2 + length, y + 2), (x0 + 2, y + 2)],
                   1.6)


def render():
    soft, diffuse, bone, cortex, teeth, faint = draw()
    ruler(soft)
    rng = random.Random(10234)
    # Spongy bone: a fine mottle that varies the bone's density by some tenths.
    mottle = Layer()
    mottle.rows = [array.array("f", [rng.random() - 0.5 for _ in range(W)]) for _ in range(H)]
    mottle.blur(3, passes=2)
    # Uneven exposure: broad, gentle swells of a few percent.
    swell = Layer()
    swell.rows = [array.array("f", [rng.random() - 0.5 for _ in range(W)]) for _ in range(H)]
    swell.blur(40, passes=2)
    diffuse.blur(9, passes=2)
    bone.blur(3, passes=2)
    faint.blur(3, passes=2)
    cortex.blur(2, passes=2)
    for layer in (soft, teeth):
        layer.blur(1, passes=2)
    lut = [int(round(10 + 245 * (1 - math.exp(-1.1 * i / 200)) ** 1.3)) for i in range(1400)]
    grain = random.Random(3)
    out = bytearray()
    for y in range(H):
        vals = [(s + (d + b) * (1 + 3.0 * m) + c + t + f) * (1 + 15 * w)
                for s, d, b, m, c, t, f, w in zip(soft.rows[y], diffuse.rows[y], bone.rows[y],
                                                  mottle.rows[y], cortex.rows[y], teeth.rows[y],
                                                  faint.rows[y], swell.rows[y])]
        out += bytes(max(0, min(255, lut[max(0, min(1399, int(v * 200)))]
                                + int(grain.gauss(0, 2.2)))) for v in vals)
    return out


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        HERE, "..", "demo", "pictures", "10234_3.jpg")
    pixels = render()
    pgm = b"P5\n%d %d\n255\n" % (W, H) + pixels
    if target.endswith(".pgm"):
        with open(target, "wb") as f:
            f.write(pgm)
    else:
        with tempfile.NamedTemporaryFile(suffix=".pgm") as tmp:
            tmp.write(pgm)
            tmp.flush()
            try:
                with open(target, "wb") as f:
                    subprocess.run(["cjpeg", "-quality", "90", "-grayscale", tmp.name],
                                   stdout=f, check=True)
            except FileNotFoundError:
                sys.exit("cjpeg not found: install libjpeg-turbo-progs, or write a .pgm")
    with open(os.path.join(HERE, "landmarks.txt"), "w") as f:
        for name, p in L.items():
            x, y = to_px(p)
            f.write(f"{name} {round(x)} {round(y)}\n")


if __name__ == "__main__":
    main()
