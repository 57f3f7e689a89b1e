#!/usr/bin/env python3
"""Landmark suggestions against two clinicians' marks on the public ISBI 2015 films.

Learns with `cephtool train` on films 001-150 and suggests with `cephtool suggest` on
151-300, then prints per landmark and overall the mean radial error in millimetres, the
share within 2 mm and the films with any landmark more than 10 mm off, with the time of
each step. The marks are the mean of the two annotators. The data are for research use
only: fetch them yourself, never commit them or anything made from them, and never ship
a model trained on them.

    bench/landmark_accuracy.py ISBI_DIR [--cephtool PATH] [--keep MODEL] [--films N]
                               [-- train options...]

--keep MODEL keeps the model learnt in MODEL, or, when MODEL is there already, suggests
with it without learning again. --films N learns from films 001 to N only (of 150), to
see how many films make the suggestions useful.

ISBI_DIR holds images/001.jpg ... images/300.jpg (1935 x 2400 pixels, 0.1 mm each) and
all_senior.csv and all_junior.csv (the film's number, then x and y in millimetres of
its 19 landmarks). Targets: mean radial error <= 2.0 mm, >= 60 % within 2 mm, a landmark
beyond 10 mm on at most 3 % of films; learning under 15 minutes on 2 cores; suggesting
under 0.5 s a film; a model under 60 MB. The status is 1 when a target is missed.
"""
import csv
import math
import os
import subprocess
import sys
import tempfile
import time

SPACING = 0.1  # millimetres per pixel of the films
# The ISBI landmarks in their order, by our abbreviations (None: not one of ours).
ISBI = ["S", "N", "Or", "Po", "A", "B", "Pog", "Me", "Gn", "Go", "L1 Edge", "U1 Edge",
        None, None, None, None, "PNS", "ANS", "Ar"]
OURS = [name for name in ISBI if name]


def marks(folder):
    """film number -> {landmark: (x, y) in pixels}, the two annotators' mean."""
    both = []
    for who in ("all_senior.csv", "all_junior.csv"):
        with open(os.path.join(folder, who), newline="") as f:
            both.append({row[0]: [float(v) for v in row[1:39]] for row in csv.reader(f)})
    out = {}
    for film, a in both[0].items():
        b = both[1][film]
        out[int(film)] = {name: ((a[2 * i] + b[2 * i]) / 2 / SPACING,
                                 (a[2 * i + 1] + b[2 * i + 1]) / 2 / SPACING)
                          for i, name in enumerate(ISBI) if name}
    return out


def write_list(path, folder, films, truth):
    with open(path, "w", newline="") as f:
        w = csv.writer(f)
        w.writerow(["picture"] + [f"{n} {axis}" for n in OURS for axis in "xy"])
        for n in films:
            row = [os.path.join(folder, "images", f"{n:03d}.jpg")]
            for name in OURS:
                row += [f"{truth[n][name][0]:.1f}", f"{truth[n][name][1]:.1f}"]
            w.writerow(row)


def main():
    args = sys.argv[1:]
    extra = args[args.index("--") + 1:] if "--" in args else []
    args = args[:args.index("--")] if "--" in args else args
    if not args:
        print(__doc__)
        return 2
    folder = os.path.abspath(args[0])
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    cephtool = os.path.join(root, "build/release/src/cephtool")
    if "--cephtool" in args:
        cephtool = args[args.index("--cephtool") + 1]
    truth = marks(folder)
    scratch = tempfile.mkdtemp()
    listed = os.path.join(scratch, "train.csv")
    model = os.path.join(scratch, "model.dat")
    if "--keep" in args:
        model = os.path.abspath(args[args.index("--keep") + 1])
    learnt_from = int(args[args.index("--films") + 1]) if "--films" in args else 150
    write_list(listed, folder, range(1, learnt_from + 1), truth)

    start = time.time()
    if not os.path.exists(model):
        subprocess.run([cephtool, "train", "--out", model, "--spacing", str(SPACING)] + extra +
                       [listed], check=True)
    learnt = time.time() - start
    pictures = [os.path.join(folder, "images", f"{n:03d}.jpg") for n in range(151, 301)]
    start = time.time()
    done = subprocess.run([cephtool, "suggest", "--model", model, "--spacing", str(SPACING)] +
                          pictures, check=True, capture_output=True, text=True)
    suggested = time.time() - start
    rows = list(csv.DictReader(done.stdout.splitlines()))

    errors = {name: [] for name in OURS}
    far = []
    for n, row in zip(range(151, 301), rows):
        beyond = []
        for name in OURS:
            x, y = float(row[f"{name} x"]), float(row[f"{name} y"])
            tx, ty = truth[n][name]
            e = math.hypot(x - tx, y - ty) * SPACING
            errors[name].append(e)
            if e > 10:
                beyond.append(f"{name} {e:.1f} mm")
        if beyond:
            far.append(f"{n:03d}: " + ", ".join(beyond))
    every = [e for name in OURS for e in errors[name]]
    print(f"{'landmark':12} {'MRE mm':>7} {'<=2 mm':>7}")
    for name in OURS:
        es = errors[name]
        print(f"{name:12} {sum(es) / len(es):7.2f} {100 * sum(e <= 2 for e in es) / len(es):6.1f}%")
    mre = sum(every) / len(every)
    within = 100 * sum(e <= 2 for e in every) / len(every)
    size = os.path.getsize(model) / 1e6
    print(f"{'all':12} {mre:7.2f} {within:6.1f}%")
    print(f"films with a landmark beyond 10 mm: {len(far)} of {len(rows)}")
    for line in far:
        print("  " + line)
    print(f"learning {learnt / 60:.1f} min; suggesting {suggested / len(rows):.3f} s a film; "
          f"model {size:.1f} MB")
    met = (mre <= 2.0 and within >= 60 and len(far) <= 0.03 * len(rows) and learnt <= 15 * 60
           and suggested / len(rows) <= 0.5 and size < 60)
    print("targets met" if met else "TARGETS MISSED")
    return 0 if met else 1


if __name__ == "__main__":
    sys.exit(main())
