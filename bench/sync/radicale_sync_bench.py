#!/usr/bin/python3
"""Sync times against a local Radicale server.

usage: radicale_sync_bench.py MIROKATA_CAL [COUNT]

Times `mirokata-cal sync` for the first sync of COUNT (10,000) one-day
schedules into an empty calendar, a sync with nothing changed, and the
first sync of a second home that receives them all.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tests", "sync"))
from radicale_server import Radicale, make_home, sync_env  # noqa: E402

CAL = sys.argv[1]
COUNT = int(sys.argv[2]) if len(sys.argv) > 2 else 10000
if shutil.which("radicale") is None:
    print("SKIP: radicale is not installed")
    sys.exit(0)

tmp = tempfile.mkdtemp(prefix="mirokata-sync-bench-")
server = None
try:
    server = Radicale(tmp)
    a_home, a_data = make_home(tmp, "A", server.url)
    b_home, _ = make_home(tmp, "B", server.url)
    n = 0
    for year in range(100):
        for month in range(1, 13):
            for day in range(1, 29):
                if n == COUNT:
                    break
                name = f"____{month:02d}{day:02d}.{year:02d}"
                with open(os.path.join(a_data, name), "wb") as f:
                    f.write(b"{\\rtf1\\ansi entry " + name.encode() +
                            b"\\par\n}")
                n += 1

    def timed(home, what):
        start = time.monotonic()
        r = subprocess.run([CAL, "--home", home, "sync"], env=sync_env(),
                           capture_output=True, text=True)
        took = time.monotonic() - start
        print(f"{what}: {took:.2f} s (exit {r.returncode}) "
              f"{r.stdout.strip()} {r.stderr.strip()[:200]}")
        return took

    timed(a_home, f"first sync, {COUNT} entries sent")
    timed(a_home, "no change")
    timed(b_home, f"first sync, {COUNT} entries received")
    timed(b_home, "no change, second home")
    print(f"resources on the server: {len(server.resources())}")
finally:
    if server is not None:
        server.stop()
    shutil.rmtree(tmp, ignore_errors=True)
