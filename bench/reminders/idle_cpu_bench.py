#!/usr/bin/env python3
"""Processor use of the idle program against a bare Qt clock window.

Starts the program (moon panel and analog clock shown, calendar mode, a
data folder of 10,000 entry files) and the one-second clock label of
clock_label_window.cpp side by side on one X display, lets both settle, and
then measures the processor time each uses over the same 60 seconds, from
/proc/PID/stat. Prints both as a percentage of one core.

Usage: bench/reminders/idle_cpu_bench.py BUILD_DIR DISPLAY [SECONDS]
The display must be running (Xvfb with a window manager).
"""

import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def make_home(root):
    data = os.path.join(root, "data")
    os.makedirs(data)
    os.makedirs(os.path.join(root, "run"), mode=0o700)
    rng = random.Random(20261210)
    names = set()
    while len(names) < 10000:
        kind = rng.randrange(3)
        mm, dd = rng.randint(1, 12), rng.randint(1, 28)
        if kind == 0:
            names.add("____%02d%02d.%02d" % (mm, dd, rng.randint(20, 35)))
        elif kind == 1:
            names.add("%02d%02d%02d%02d.%02d" % (rng.randint(0, 23), rng.randint(0, 59),
                                              mm, dd, rng.randint(20, 35)))
        else:
            names.add("%02d%02d____.__" % (rng.randint(0, 23), rng.randint(0, 59)))
    for n in names:
        with open(os.path.join(data, n), "w") as f:
            f.write("{\\rtf1 reminder\\par}")
    with open(os.path.join(root, "mirokata.ini"), "w") as f:
        f.write("[Calendar]\r\nDirectory=%s\r\n[Horiday]\r\nSet=1\r\n"
                "[Qclock]\r\nVer=Version 2.62\r\n[Form]\r\nMoonPhase=1\r\n"
                "AnalogClock=1\r\nHeight=190\r\nTray_icon=1\r\nWaveplay=0\r\n" % data)


def main():
    build, display = sys.argv[1], sys.argv[2]
    seconds = int(sys.argv[3]) if len(sys.argv) > 3 else 60
    root = tempfile.mkdtemp(prefix="mirokata-idle-")
    try:
        make_home(root)
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
                   XDG_RUNTIME_DIR=os.path.join(root, "run"))
        program = subprocess.Popen(
            [os.path.join(build, "bin", "mirokata"), "--home", root], env=env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        bare = subprocess.Popen(
            [os.path.join(build, "bin", "mirokata_clock_label_window")], env=env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(8)
        start = time.monotonic()
        before = {p.pid: cpu_seconds(p.pid) for p in (program, bare)}
        time.sleep(seconds)
        wall = time.monotonic() - start
        after = {p.pid: cpu_seconds(p.pid) for p in (program, bare)}
        for label, p in (("mirokata (clock and moon)", program),
                         ("bare Qt clock label", bare)):
            used = after[p.pid] - before[p.pid]
            print("%-28s %6.2f s CPU in %.0f s = %.3f %% of one core"
                  % (label, used, wall, 100.0 * used / wall))
        for p in (program, bare):
            p.terminate()
            p.wait(10)
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()
