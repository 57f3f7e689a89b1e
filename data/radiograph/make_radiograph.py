#!/usr/bin/env python3
"""Draws the demo radiograph: a synthetic grey lateral cephalogram looking right, built
from the guide drawing's sketch at seven times its size, with soft tissue, bone and teeth
of different density, blurred and grained like a film.

    python3 make_radiograph.py OUT.pgm     then: cjpeg -quality 90 -grayscale OUT.pgm > X.jpg

Also prints the 19 landmark positions in pixels. Standard library only.
"""
import os
import random
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "guide"))
import make_guide  # noqa: E402  (the sketch and its landmarks)

SCALE = 7
W, H = make_guide.W * SCALE, make_guide.H * SCALE


def main():
    out = sys.argv[1]
    img = [[18] * W for _ in range(H)]

    # Soft tissue: everything behind the facial profile, a darker grey than bone.
    profile = make_guide.spline(make_guide.SKETCH[-3] + make_guide.SKETCH[-2])
    edge = [W] * H
    for (x0, y0), (x1, y1) in zip(profile, profile[1:]):
        for s in range(20):
            t = s / 20
            y = int((y0 + (y1 - y0) * t) * SCALE)
            if 0 <= y < H:
                edge[y] = min(edge[y], int((x0 + (x1 - x0) * t) * SCALE)) if edge[y] != W else int(
                    (x0 + (x1 - x0) * t) * SCALE)
    for y in range(H):
        right = edge[y] if edge[y] != W else (0 if y > 235 * SCALE else int(150 * SCALE))
        for x in range(min(right, W)):
            img[y][x] = 70

    def stamp(cx, cy, radius, value):
        r2 = radius * radius
        for y in range(int(cy - radius), int(cy + radius) + 1):
            if 0 <= y < H:
                row = img[y]
                for x in range(int(cx - radius), int(cx + radius) + 1):
                    if 0 <= x < W and (x - cx) ** 2 + (y - cy) ** 2 <= r2 and row[x] < value:
                        row[x] = value

    # Bone as broad bright strokes along the sketch; teeth brighter and narrower.
    teeth = {9, 10, 11, 12, 13, 14, 15, 16}
    for index, curve in enumerate(make_guide.SKETCH[:-3]):
        value, radius = (235, 9) if index in teeth else (175, 14)
        dense = make_guide.spline(curve, steps=30)
        for (x0, y0), (x1, y1) in zip(dense, dense[1:]):
            for s in range(4):
                t = s / 4
                stamp((x0 + (x1 - x0) * t) * SCALE, (y0 + (y1 - y0) * t) * SCALE, radius, value)

    # A film is never sharp: box blur, then grain.
    for _ in range(2):
        for y in range(H):
            row = img[y]
            acc, width, out_row = 0, 9, row[:]
            for x in range(W + width):
                if x < W:
                    acc += row[x]
                if x >= width:
                    acc -= row[x - width]
                if x >= width // 2 and x - width // 2 < W:
                    out_row[x - width // 2] = acc // width
            img[y] = out_row
        for x in range(W):
            acc, width = 0, 9
            col = [img[y][x] for y in range(H)]
            for y in range(H + width):
                if y < H:
                    acc += col[y]
                if y >= width:
                    acc -= col[y - width]
                if y >= width // 2 and y - width // 2 < H:
                    img[y - width // 2][x] = acc // width
    rng = random.Random(7)
    with open(out, "wb") as f:
        f.write(b"P5\n%d %d\n255\n" % (W, H))
        f.write(bytes(max(0, min(255, v + rng.randint(-6, 6))) for row in img for v in row))
    for name, (x, y) in make_guide.LANDMARKS.items():
        print(f"{name}\t{round(x * SCALE)}\t{round(y * SCALE)}")


if __name__ == "__main__":
    main()
