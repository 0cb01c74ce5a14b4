#!/usr/bin/python3
"""Start-up time and memory of the program against a bare Qt window.

Under a private Xvfb with openbox, a tray host and a session bus (as any
desktop session has), measures five times each: the time from
starting the program (with a settings file and data folder of a heavy
user's size) to its main window being mapped, and its resident memory five
seconds later. The bare Qt window of bare_window.cpp is measured the same
way in the same run. Prints the medians and whether the targets hold: at
most 1.5 times the bare window's time, and under 60 MB.

A window counts as mapped when the window manager maps its frame: the X
server reports it to a connection opened before the process starts, so no
polling process competes with the program for the processor.

Without a session bus, every Qt program's accessibility bridge starts
"dbus-launch" to look for one, which costs several milliseconds that no
desktop pays: --no-session-bus measures that case too.

Usage: bench/startup/startup_bench.py [--no-session-bus] [BUILD_DIR [RUNS]]
  (default build-release, 5 runs; more runs steady the medians on a busy
  machine)
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay

RUNS = 5
DISPLAY = ":59"


def wait_for_socket(display):
    path = "/tmp/.X11-unix/X" + display[1:]
    for _ in range(100):
        if os.path.exists(path):
            return
        time.sleep(0.05)
    sys.exit("Xvfb did not start")


def seed_home(home):
    """A settings file of 2,000 popup sections and a data folder of 1,500
    entry files, 40 memos and a to-do board, as years of use leave them."""
    data = os.path.join(home, "Schedule")
    os.makedirs(os.path.join(data, "Memo"))
    os.makedirs(os.path.join(data, "Todo"))
    lines = ["[Horiday]", "Set=1", "01/01=【元旦】", "[Qclock]",
             "Ver=Version 2.62", "[Calendar]", "Directory=" + data, "[Form]",
             "Height=190", "Tray_icon=0", "top_cal=40", "left_cal=900"]
    for i in range(2000):
        name = "%04d__%02d.~~" % (i % 2400, i % 28 + 1)
        lines.append("[%s/%s]" % (data, name))
        for key in ("file", "bitmap", "closetime", "Stretch", "Snooze",
                    "Execute", "Execlose", "Mail"):
            lines.append("%s=値 %d" % (key, i))
    # Memos are numbered from 1, listed in their category's section and
    # counted in MemoCount; closed ones have Show=0.
    lines += ["[MemoCount]", "Count=40"]
    for category in range(4):
        lines.append("[%d_Memo]" % category)
        for i in range(category * 10 + 1, category * 10 + 11):
            lines.append("Memo%d=メモ %d" % (i, i))
    for i in range(1, 41):
        lines += ["[Memo%d]" % i, "Show=0", "Top=100", "Left=100",
                  "Width=200", "Height=150"]
    with open(os.path.join(home, "mirokata.ini"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))
    body = b"{\\rtf1\\ansi \\f0 \\'97\\'5c\\'92\\'e8\\par }"
    for i in range(1500):
        name = "2026%02d%02d%02d%02d.~~" % (i % 12 + 1, i % 28 + 1,
                                          i % 24, i % 60)
        with open(os.path.join(data, name), "wb") as f:
            f.write(body)
    for i in range(1, 41):
        with open(os.path.join(data, "Memo", "Memo%d" % i), "wb") as f:
            f.write(body * 20)


def window_pid(conn, window):
    """The _NET_WM_PID of the client in or below `window`, or None."""
    pid_atom = conn.intern_atom("_NET_WM_PID")
    todo = [window]
    while todo:
        w = todo.pop()
        try:
            prop = w.get_full_property(pid_atom, X.AnyPropertyType)
            if prop is not None and len(prop.value):
                return int(prop.value[0])
            todo.extend(w.query_tree().children)
        except Exception:  # the window went away meanwhile
            pass
    return None


def rss_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return float("nan")


def measure(command, env):
    conn = xdisplay.Display(env["DISPLAY"])
    root = conn.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    conn.sync()
    start = time.monotonic()
    proc = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    elapsed_ms = None
    while elapsed_ms is None:
        if proc.poll() is not None:
            sys.exit("%s ended before showing its window" % command[0])
        if time.monotonic() - start > 30:
            proc.kill()
            sys.exit("%s showed no window in 30 s" % command[0])
        if not conn.pending_events():
            time.sleep(0.001)
            continue
        event = conn.next_event()
        if event.type == X.MapNotify and \
                window_pid(conn, event.window) == proc.pid:
            elapsed_ms = (time.monotonic() - start) * 1000.0
    conn.close()
    time.sleep(5)
    rss = rss_mb(proc.pid)
    proc.terminate()
    try:
        proc.wait(5)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
    return elapsed_ms, rss


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(
        os.path.abspath(__file__))))
    args = sys.argv[1:]
    session_bus = "--no-session-bus" not in args
    args = [a for a in args if a != "--no-session-bus"]
    build = os.path.abspath(args[0]) if args else \
        os.path.join(root, "build-release")
    program = os.path.join(build, "bin", "mirokata")
    bare = os.path.join(build, "bin", "mirokata_bare_window")
    for path in (program, bare):
        if not os.access(path, os.X_OK):
            sys.exit("missing %s (build targets mirokata and "
                     "mirokata_bare_window)" % path)

    work = tempfile.mkdtemp(prefix="mirokata-startup-")
    procs = []
    try:
        procs.append(subprocess.Popen(
            ["Xvfb", DISPLAY, "-screen", "0", "1280x800x24", "-nolisten",
             "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_for_socket(DISPLAY)
        env = dict(os.environ, DISPLAY=DISPLAY,
                   XDG_RUNTIME_DIR=os.path.join(work, "run"))
        env.pop("QT_QPA_PLATFORM", None)
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        os.mkdir(env["XDG_RUNTIME_DIR"], 0o700)
        if session_bus:
            bus = subprocess.Popen(
                ["dbus-daemon", "--session", "--nofork", "--print-address"],
                env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                text=True)
            procs.append(bus)
            env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        procs.append(subprocess.Popen(["openbox"], env=env,
                                      stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL))
        procs.append(subprocess.Popen(
            ["trayer", "--edge", "top", "--align", "left", "--widthtype",
             "pixel", "--width", "80", "--height", "24"], env=env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(1)

        results = {"bare": [], "mirokata": []}
        runs = int(args[1]) if len(args) > 1 else RUNS
        for run in range(runs):
            # Alternate so that both see the same state of the caches.
            results["bare"].append(measure([bare], env))
            home = os.path.join(work, "home%d" % run)
            os.mkdir(home)
            seed_home(home)
            results["mirokata"].append(
                measure([program, "--home", home], env))

        med = {k: (statistics.median(t for t, _ in v),
                   statistics.median(r for _, r in v))
               for k, v in results.items()}
        for k, v in results.items():
            print("%-9s times (ms): %s  RSS (MB): %s" % (
                k, " ".join("%.0f" % t for t, _ in v),
                " ".join("%.1f" % r for _, r in v)))
        ratio = med["mirokata"][0] / med["bare"][0]
        print("median start-up: mirokata %.0f ms, bare window %.0f ms "
              "(ratio %.2f, target <= 1.50)" % (med["mirokata"][0],
                                               med["bare"][0], ratio))
        print("median RSS after 5 s: mirokata %.1f MB, bare window %.1f MB "
              "(target < 60 MB)" % (med["mirokata"][1], med["bare"][1]))
        ok = ratio <= 1.5 and med["mirokata"][1] < 60
        print("targets met" if ok else "TARGETS MISSED")
        return 0 if ok else 1
    finally:
        for p in reversed(procs):
            p.terminate()
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
