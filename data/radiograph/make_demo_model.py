#!/usr/bin/env python3
"""Learns the demo's landmark model from films made from the demo radiograph.

    python3 make_demo_model.py CEPHTOOL [OUT]

draws the radiograph (make_radiograph.py, as a PGM), makes copies of it at half its size
(0.2 mm a pixel), each turned by up to 5 degrees, scaled by up to 8 % and shifted by up to
6 % of its size, with its own grain, writes them with a list of their landmarks, and runs
`CEPHTOOL train` on the list. OUT is ../demo/landmark-model.dat by default.

The model only knows this one synthetic head: it shows how suggestions work on the demo
patient's film and is no use on real films, for which a practice learns its own from its
tracings. The output is the same on every run (fixed random seeds). Standard library only.
"""
import math
import os
import random
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
FILMS = 24
SPACING = 0.2  # millimetres a pixel of the half-size copies


def read_pgm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[at + 1:at + 1 + width * height]


def write_pgm(path, width, height, pixels):
    with open(path, "wb") as f:
        f.write(b"P5\n%d %d\n255\n" % (width, height))
        f.write(bytes(pixels))


def halved(width, height, pixels):
    w, h = width // 2, height // 2
    out = bytearray(w * h)
    for y in range(h):
        r0, r1 = 2 * y * width, (2 * y + 1) * width
        for x in range(w):
            out[y * w + x] = (pixels[r0 + 2 * x] + pixels[r0 + 2 * x + 1] + pixels[r1 + 2 * x] +
                              pixels[r1 + 2 * x + 1] + 2) // 4
    return w, h, out


def moved(width, height, pixels, rng):
    """A copy turned, scaled and shifted about its middle, grained, and the move it took."""
    turn = math.radians(rng.uniform(-5, 5))
    scale = 1 + rng.uniform(-0.08, 0.08)
    dx, dy = rng.uniform(-0.06, 0.06) * width, rng.uniform(-0.06, 0.06) * height
    c, s = math.cos(turn) * scale, math.sin(turn) * scale
    mx, my = width / 2, height / 2
    k = scale * scale
    out = bytearray(width * height)
    for y in range(height):
        v = y + 0.5 - my - dy
        for x in range(width):
            u = x + 0.5 - mx - dx
            sx = (c * u + s * v) / k + mx - 0.5
            sy = (-s * u + c * v) / k + my - 0.5
            value = 0.0
            if 0 <= sx < width - 1 and 0 <= sy < height - 1:
                x0, y0 = int(sx), int(sy)
                fx, fy = sx - x0, sy - y0
                i = y0 * width + x0
                value = ((1 - fy) * ((1 - fx) * pixels[i] + fx * pixels[i + 1]) +
                         fy * ((1 - fx) * pixels[i + width] + fx * pixels[i + width + 1]))
            out[y * width + x] = min(255, max(0, int(value + rng.gauss(0, 4) + 0.5)))

    def place(px, py):
        u, v = px - mx, py - my
        return c * u - s * v + mx + dx, s * u + c * v + my + dy

    return out, place


def landmarks():
    marks = []
    with open(os.path.join(HERE, "landmarks.txt"), encoding="utf-8") as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 3:
                marks.append((" ".join(parts[:-2]), float(parts[-2]), float(parts[-1])))
    return marks


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    cephtool = sys.argv[1]
    out = sys.argv[2] if len(sys.argv) == 3 else os.path.join(HERE, "..", "demo",
                                                               "landmark-model.dat")
    marks = landmarks()
    rng = random.Random(34)
    with tempfile.TemporaryDirectory() as work:
        pgm = os.path.join(work, "radiograph.pgm")
        subprocess.run([sys.executable, os.path.join(HERE, "make_radiograph.py"), pgm],
                       check=True, stdout=subprocess.DEVNULL)
        width, height, pixels = halved(*read_pgm(pgm))
        header = ["picture"] + [f"{name} {axis}" for name, _, _ in marks for axis in "xy"]
        rows = [",".join(f'"{h}"' if " " in h else h for h in header)]
        for n in range(FILMS):
            film, place = moved(width, height, pixels, rng)
            name = f"film{n:02d}.pgm"
            write_pgm(os.path.join(work, name), width, height, film)
            fields = [name]
            for _, x, y in marks:
                px, py = place((x + 0.5) / 2, (y + 0.5) / 2)
                fields += [f"{px - 0.5:.1f}", f"{py - 0.5:.1f}"]
            rows.append(",".join(fields))
            print(f"film {n + 1} of {FILMS}", file=sys.stderr)
        listing = os.path.join(work, "films.csv")
        with open(listing, "w", encoding="utf-8") as f:
            f.write("\n".join(rows) + "\n")
        subprocess.run([cephtool, "train", "--out", out, "--spacing", str(SPACING), listing,
                        "--trees", "30", "--folds", "3"], check=True)


if __name__ == "__main__":
    main()
