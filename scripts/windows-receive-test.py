#!/usr/bin/env python3
"""cephtool.exe receive under Wine, with this machine's DCMTK storescu and echoscu as the
X-ray unit on the loopback address, as a practice's Windows receiver meets its unit: started
from a settings file (as the scheduled task starts it) in a data folder whose name has a
space, it answers echo, files a film byte for byte under its patient, refuses callers and
titles not on its list with nothing written, keeps a film of no patient aside and says the
store failed; started for TLS only, it takes the unit's TLS association and refuses a plain
one. scripts/windows.sh runs it in its Wine folder; it prints a line per check and fails
when one does.

    scripts/windows-receive-test.py CEPHTOOL_EXE
"""
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "bench"))
from dicom_receive import film, free_port  # noqa: E402  (the same film the benchmark sends)

failures = []


def check(what, ok):
    print("%s  %s" % ("ok    " if ok else "FAILED", what))
    if not ok:
        failures.append(what)


def windows(path):
    return "Z:" + path.replace("/", "\\")


def tool(name, port, *arguments):
    return subprocess.run([name, *arguments, "127.0.0.1", str(port)], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, timeout=120).returncode


def send(port, path, calling="CEPHALO", called="READCEPH", *options):
    return subprocess.run(["storescu", *options, "-aet", calling, "-aec", called, "127.0.0.1",
                           str(port), path], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, timeout=120).returncode


def data_set(path):
    with open(path, "rb") as f:
        b = f.read()
    group = int.from_bytes(b[140:144], "little")
    return b[144 + group:]


class Receiver:
    """cephtool.exe receive ARGUMENTS under Wine, until the block ends; ready once its log
    says it listens (Wine takes seconds to start a program)."""

    def __init__(self, exe, log, arguments):
        self.exe, self.log, self.arguments = exe, log, arguments

    def __enter__(self):
        self.process = subprocess.Popen(["wine", self.exe, "receive", *self.arguments],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(600):
            if os.path.exists(self.log) and "receiving as" in open(self.log, errors="replace").read():
                return self
            if self.process.poll() is not None:
                sys.exit("cephtool.exe receive ended at start with status %d" % self.process.returncode)
            time.sleep(0.1)
        self.process.kill()
        sys.exit("cephtool.exe receive did not start within a minute")

    def __exit__(self, *_):
        self.process.kill()
        self.process.wait()


def certificates(folder, authority, names):
    def run(*arguments):
        subprocess.run(["openssl", *arguments], cwd=folder, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    ec = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    run("req", "-x509", *ec, "-keyout", authority + ".key", "-out", authority + ".pem",
        "-days", "2", "-subj", "/CN=" + authority)
    for n in names:
        run("req", *ec, "-keyout", n + ".key", "-out", n + ".csr", "-subj", "/CN=" + n)
        run("x509", "-req", "-in", n + ".csr", "-CA", authority + ".pem", "-CAkey",
            authority + ".key", "-CAcreateserial", "-days", "2", "-out", n + ".pem")


def main():
    exe = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as scratch:
        data = os.path.join(scratch, "practice data")
        pictures, incoming = os.path.join(data, "pictures"), os.path.join(data, "incoming")
        os.makedirs(pictures)
        with open(os.path.join(data, "selvsys.ini"), "w") as f:
            f.write("[Selvaron]\r\nPersonPicDir=pictures\r\n")
        path, stray = os.path.join(scratch, "film.dcm"), os.path.join(scratch, "stray.dcm")
        film(path, 256, 200)
        film(stray, 64, 64, b"../10234")
        log, port = os.path.join(data, "receive.log"), free_port()
        settings = os.path.join(scratch, "receive settings.txt")
        with open(settings, "w", newline="\r\n") as f:
            f.write("# The practice's receiver\n--data %s\n--bind 127.0.0.1\n--port %d\n"
                    "--ae READCEPH\n--allow CEPHALO@127.0.0.1\n--idle 10\n" % (windows(data), port))

        with Receiver(exe, log, ["--settings", windows(settings)]):
            check("echo answered", tool("echoscu", port, "-aet", "CEPHALO", "-aec", "READCEPH") == 0)
            check("film from the unit on the list accepted", send(port, path) == 0)
            filed = sorted(os.listdir(pictures))
            check("filed as 10234r01.dcm", filed == ["10234r01.dcm"])
            check("its data set byte for byte what was sent",
                  filed == ["10234r01.dcm"] and
                  data_set(os.path.join(pictures, filed[0])) == data_set(path))
            check("a calling title not on the list refused", send(port, path, "STRANGER") != 0)
            check("another called title refused", send(port, path, "CEPHALO", "PACS") != 0)
            check("nothing written for them", sorted(os.listdir(pictures)) == filed and
                  not os.path.exists(incoming))
            check("a film of Patient ID ../10234 answered as failed", send(port, stray) != 0)
            check("and kept in incoming, nothing else filed",
                  sorted(os.listdir(pictures)) == filed and len(os.listdir(incoming)) == 1)

        certificates(scratch, "ca", ["receiver", "unit"])
        tls_log, port = os.path.join(scratch, "tls.log"), free_port()
        key = lambda n: windows(os.path.join(scratch, n))  # noqa: E731
        with Receiver(exe, tls_log, ["--data", windows(data), "--bind", "127.0.0.1", "--port",
                                     str(port), "--ae", "READCEPH", "--allow", "CEPHALO@127.0.0.1",
                                     "--tls-key", key("receiver.key"), "--tls-cert",
                                     key("receiver.pem"), "--tls-ca", key("ca.pem"),
                                     "--tls-required", "--log", windows(tls_log)]):
            unit = ["+tls", os.path.join(scratch, "unit.key"), os.path.join(scratch, "unit.pem"),
                    "+cf", os.path.join(scratch, "ca.pem")]
            check("with TLS required, a plain association refused",
                  send(port, path) != 0 and len(os.listdir(pictures)) == 1)
            check("the unit's TLS association accepted and its film filed",
                  send(port, path, "CEPHALO", "READCEPH", *unit) == 0 and
                  sorted(os.listdir(pictures)) == ["10234r01.dcm", "10234r02.dcm"])
    if failures:
        sys.exit("%d of the receiver's checks under Wine failed" % len(failures))


if __name__ == "__main__":
    main()
