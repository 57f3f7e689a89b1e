#!/usr/bin/env python3
"""A 3 MB cephalogram sent over DICOM on the loopback address to `cephtool receive` and,
in the same run, to DCMTK's storescp, each sent by storescu; the medians of interleaved
repetitions, from starting storescu until it has its answer (the receiver has then filed
the film, checked and flushed to disk). Fails when the receiver's median is one second or
more. The film is made here (16-bit grey, 1250 x 1200, uncompressed, 3 MB).

    bench/dicom_receive.py [BUILD_DIR] [REPETITIONS]        (default build/release, 7)
"""
import os
import shutil
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def element(group, elem, vr, value):
    if len(value) % 2:
        value += b"\0" if vr in (b"UI", b"OB") else b" "
    if vr in (b"OB", b"OW", b"UN", b"SQ", b"UT"):
        return struct.pack("<HH2sHI", group, elem, vr, 0, len(value)) + value
    return struct.pack("<HH2sH", group, elem, vr, len(value)) + value


def film(path, width=1250, height=1200, patient_id=b"10234"):
    instance = b"2.25.1234567890123456789"
    dx = b"1.2.840.10008.5.1.4.1.1.1.1"
    meta = (element(2, 1, b"OB", b"\0\1") + element(2, 2, b"UI", dx) +
            element(2, 3, b"UI", instance) + element(2, 0x10, b"UI", b"1.2.840.10008.1.2.1") +
            element(2, 0x12, b"UI", b"2.25.1"))
    row = bytes(((x * 7) & 0xFF) for x in range(width * 2))
    pixels = b"".join(row for _ in range(height))
    data = (element(8, 0x16, b"UI", dx) + element(8, 0x18, b"UI", instance) +
            element(8, 0x60, b"CS", b"DX") + element(0x10, 0x20, b"LO", patient_id) +
            element(0x28, 2, b"US", struct.pack("<H", 1)) +
            element(0x28, 4, b"CS", b"MONOCHROME2") +
            element(0x28, 0x10, b"US", struct.pack("<H", height)) +
            element(0x28, 0x11, b"US", struct.pack("<H", width)) +
            element(0x28, 0x100, b"US", struct.pack("<H", 16)) +
            element(0x28, 0x101, b"US", struct.pack("<H", 12)) +
            element(0x28, 0x102, b"US", struct.pack("<H", 11)) +
            element(0x28, 0x103, b"US", struct.pack("<H", 0)) +
            element(0x7FE0, 0x10, b"OW", pixels))
    with open(path, "wb") as f:
        f.write(b"\0" * 128 + b"DICM" + element(2, 0, b"UL", struct.pack("<I", len(meta))) +
                meta + data)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(port):
    for _ in range(100):
        with socket.socket() as s:
            if s.connect_ex(("127.0.0.1", port)) == 0:
                return
        time.sleep(0.05)
    sys.exit("nothing listens on port %d" % port)


def send(port, path):
    begun = time.perf_counter()
    subprocess.run(["storescu", "-aet", "CEPHALO", "-aec", "READCEPH", "127.0.0.1", str(port),
                    path], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - begun


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "release")
    repetitions = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    cephtool = os.path.join(build, "src", "cephtool")
    if not os.access(cephtool, os.X_OK) or not shutil.which("storescp"):
        sys.exit("needs %s and DCMTK's storescp/storescu (package dcmtk)" % cephtool)
    with tempfile.TemporaryDirectory() as scratch:
        data, out = os.path.join(scratch, "data"), os.path.join(scratch, "storescp")
        os.makedirs(os.path.join(data, "pictures"))
        with open(os.path.join(data, "selvsys.ini"), "w") as f:
            f.write("[Selvaron]\r\nPersonPicDir=pictures\r\n")
        os.makedirs(out)
        path = os.path.join(scratch, "film.dcm")
        film(path)
        ours, theirs = free_port(), free_port()
        receiver = subprocess.Popen(
            [cephtool, "receive", "--data", data, "--bind", "127.0.0.1", "--port", str(ours),
             "--ae", "READCEPH", "--allow", "CEPHALO@127.0.0.1"], stderr=subprocess.DEVNULL)
        reference = subprocess.Popen(["storescp", "-aet", "READCEPH", "-od", out, str(theirs)],
                                     stderr=subprocess.DEVNULL)
        try:
            wait_for(ours)
            wait_for(theirs)
            times = {"cephtool receive": [], "storescp": []}
            for _ in range(repetitions):
                times["cephtool receive"].append(send(ours, path))
                times["storescp"].append(send(theirs, path))
        finally:
            receiver.terminate()
            reference.terminate()
            receiver.wait()
            reference.wait()
        filed = len(os.listdir(os.path.join(data, "pictures")))
    print("film: 3.0 MB, %d repetitions; filed %d of them" % (repetitions, filed))
    for name, t in times.items():
        print("%-18s median %.3f s  (min %.3f, max %.3f)" %
              (name, statistics.median(t), min(t), max(t)))
    ratio = statistics.median(times["cephtool receive"]) / statistics.median(times["storescp"])
    print("ratio to storescp: %.2f" % ratio)
    if filed != repetitions:
        sys.exit("not every film was filed")
    if statistics.median(times["cephtool receive"]) >= 1.0:
        sys.exit("a film took a second or more")


if __name__ == "__main__":
    main()
