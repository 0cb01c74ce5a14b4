#!/usr/bin/python3
"""Two program homes syncing through a local Radicale server.

usage: radicale_sync.py MIROKATA_CAL

Starts radicale on a loopback port with a temporary storage folder and an
htpasswd user, makes one calendar, and checks with `mirokata-cal sync` in
homes A and B: entries written in A arrive in B byte-equal, an edit in B
arrives in A, a delete in A disappears from B, an edit on both sides keeps
both texts (one conflict file), and a corrupt state file converges without
duplicates. Prints SKIP when radicale is missing.
"""
import base64
import glob
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from radicale_server import Radicale, make_home, sync_env  # noqa: E402

CAL = sys.argv[1]
RADICALE = shutil.which("radicale")
if RADICALE is None:
    print("SKIP: radicale is not installed")
    sys.exit(0)

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL:", what)


def rtf(text):
    body = "".join(f"\\u{ord(c)}?" if ord(c) > 127 else c for c in text)
    return ("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 MS UI Gothic;}}\\f0 "
            + body + "\\par\n}").encode("ascii")


tmp = tempfile.mkdtemp(prefix="mirokata-radicale-")
server = None
try:
    server = Radicale(tmp)
    storage = server.storage
    url = server.url
    homes = {h: make_home(tmp, h, url) for h in ("A", "B")}
    env = sync_env()

    def sync(h, expect=0, *extra):
        r = subprocess.run([CAL, "--home", homes[h][0], "sync", *extra],
                           env=env, capture_output=True, text=True,
                           timeout=300)
        check(r.returncode == expect,
              f"sync {h}: exit {r.returncode}, wanted {expect}: "
              f"{r.stdout} {r.stderr}")
        return r.stdout

    def entries(h):
        data = homes[h][1]
        out = {}
        for name in os.listdir(data):
            path = os.path.join(data, name)
            if os.path.isfile(path) and not name.startswith("."):
                with open(path, "rb") as f:
                    out[name] = f.read()
        return out

    def write(h, name, text):
        with open(os.path.join(homes[h][1], name), "wb") as f:
            f.write(rtf(text))

    names = ["____0214.30", "____0505.__", "_~__0505.__", "~_~~__25.__",
             "_~_~____.TUE", "~~~~~___.FRI", "10300301.30", "0900__25.~~",
             "0730____.__", "1800__10.MON", "BORN0229.1980"]
    for n in names:
        write("A", n, "予定 " + n)
    sync("A")
    sync("B")
    check(entries("B") == entries("A"), "every kind arrives byte-equal")

    write("B", "____0214.30", "Bで直した")
    sync("B")
    sync("A")
    check(entries("A").get("____0214.30") == rtf("Bで直した"),
          "an edit in B arrives in A")

    os.remove(os.path.join(homes["A"][1], "0730____.__"))
    sync("A")
    sync("B")
    check("0730____.__" not in entries("B"), "a delete in A leaves B")

    write("A", "____0505.__", "Aの文")
    write("B", "____0505.__", "Bの文")
    sync("A")
    sync("B", 1)
    conflicts = glob.glob(os.path.join(homes["B"][1], ".sync", "conflicts",
                                       "____0505.__.*.ics"))
    check(len(conflicts) == 1, f"one conflict file, found {conflicts}")
    saved = open(conflicts[0], "rb").read() if conflicts else b""
    check(b"A\\u306e" in saved.replace(b"\r\n ", b"") or
          base64.b64encode(rtf("Aの文")) in saved.replace(b"\r\n ", b""),
          "the conflict file holds A's text")
    sync("A")
    check(entries("A").get("____0505.__") == rtf("Bの文"),
          "B's text reaches A after the conflict")

    with open(os.path.join(homes["A"][1], ".sync", "state.ini"), "w") as f:
        f.write("[Sync]\nVersion=1\n[Item]\nHref=x")
    before = entries("A")
    sync("A")
    sync("B")
    check(entries("A") == before, "a corrupt state changes no entry")
    check(entries("B") == entries("A"), "both homes agree")
    count = len(server.resources())
    check(count == len(entries("A")),
          f"no duplicates on the server: {count} for {len(entries('A'))}")

    out = sync("A")
    check("送信 0件 受信 0件 競合 0件" in out, "nothing to do: " + out)

    # Another client's events: the one an entry holds arrives, the other
    # stays on the server as it was.
    head = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//other//EN\r\n"
    fits = (head + "BEGIN:VEVENT\r\nUID:fits@other\r\n"
            "DTSTAMP:20300101T000000Z\r\nDTSTART;VALUE=DATE:20300310\r\n"
            "SUMMARY:歯医者\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n").encode()
    odd = (head + "BEGIN:VEVENT\r\nUID:odd@other\r\n"
           "DTSTAMP:20300101T000000Z\r\nDTSTART:20300310T090000Z\r\n"
           "RRULE:FREQ=HOURLY;INTERVAL=2\r\nSUMMARY:水\r\nEND:VEVENT\r\n"
           "END:VCALENDAR\r\n").encode()
    server.request("PUT", url + "fits.ics", fits,
                   {"Content-Type": "text/calendar"})
    server.request("PUT", url + "odd.ics", odd,
                   {"Content-Type": "text/calendar"})
    _, odd_before = server.request("GET", url + "odd.ics")
    sync("B", 1)
    check("____0310.30" in entries("B"), "the fitting event arrives")
    _, odd_after = server.request("GET", url + "odd.ics")
    check(odd_after == odd_before, "the other event is left untouched")
    sync("A", 1)
    check(entries("A") == entries("B"), "both homes agree again")
finally:
    if server is not None:
        server.stop()
    shutil.rmtree(tmp, ignore_errors=True)

if failures:
    print(f"{len(failures)} failure(s)")
    sys.exit(1)
print("ok")
