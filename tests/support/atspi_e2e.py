"""Driving the running program as a user does, for the end-to-end
scripts: controls are found by their accessible names over the
accessibility bus and clicked and typed into with xdotool.

A script calls enter_session() first; it runs the script again inside its
own D-Bus session (argv then holds "--inner", the binary and an optional
screenshot folder), and only there imports the rest of this module.
"""
import configparser
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time


def enter_session(script, more_tools=()):
    """Runs `script` again inside a D-Bus session, or exits with SKIP when
    there is no display or a tool (of `more_tools` too) is missing. Returns
    inside the session."""
    if "--inner" in sys.argv:
        return
    display = os.environ.get("MIROKATA_TEST_DISPLAY") or os.environ.get(
        "DISPLAY")
    if not display:
        print("SKIP: no display")
        sys.exit(0)
    for tool in ("dbus-run-session", "xdotool", "wmctrl", "import") + tuple(
            more_tools):
        if not shutil.which(tool):
            print("SKIP: %s is missing" % tool)
            sys.exit(0)
    os.environ["DISPLAY"] = display
    os.execvp("dbus-run-session",
              ["dbus-run-session", "--", "/usr/bin/python3", script,
               "--inner"] + sys.argv[1:])


if "--inner" in sys.argv:
    import pyatspi  # noqa: E402  (only inside the session)


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def xdo(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True)


def walk(node, depth=0):
    if node is None or depth > 30:
        return
    yield node
    try:
        children = list(node)
    except Exception:
        return
    for child in children:
        yield from walk(child, depth + 1)


def application():
    end = time.time() + 30
    while time.time() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "Mirokata":
                return app
        time.sleep(0.3)
    fail("the program never showed on the accessibility bus")


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def find(role, name, timeout=15, within=None, contains=False):
    """The first showing node of `role` (or one of several) named `name`."""
    roles = (role,) if isinstance(role, str) else role
    end = time.time() + timeout
    while time.time() < end:
        for node in walk(within or application()):
            try:
                if node.getRoleName() not in roles or not showing(node):
                    continue
                if node.name == name or (contains and name in node.name):
                    return node
            except Exception:
                continue
        time.sleep(0.3)
    fail("no %s named %r" % (role, name))


def find_window(title, timeout=15, contains=False):
    end = time.time() + timeout
    while time.time() < end:
        for node in application():
            try:
                named = node.name == title or (contains and title in node.name)
                if named and showing(node):
                    return node
            except Exception:
                continue
        time.sleep(0.3)
    fail("no window %r" % title)


def extents(node):
    return node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def centre(node):
    e = extents(node)
    return e.x + e.width // 2, e.y + e.height // 2


def click(node, double=False):
    x, y = centre(node)
    xdo("mousemove", x, y)
    time.sleep(0.1)
    if double:
        xdo("click", "--repeat", 2, "--delay", 80, 1)
    else:
        xdo("click", 1)
    time.sleep(0.4)


def set_spin(node, value):
    click(node)
    xdo("key", "ctrl+a")
    xdo("type", str(value))
    xdo("key", "Return")
    time.sleep(0.3)


def close_window(title):
    subprocess.run(["wmctrl", "-c", title], check=False)
    time.sleep(1)


def checked(node):
    return node.getState().contains(pyatspi.STATE_CHECKED)


def text_of(node):
    t = node.queryText()
    return t.getText(0, t.characterCount)


def shot(name):
    """A picture of the whole screen into the folder given on the command
    line, when one was."""
    if len(sys.argv) > 3:
        subprocess.run(["import", "-window", "root",
                        os.path.join(sys.argv[3], name + ".png")], check=True)


def settings(home):
    parser = configparser.ConfigParser(interpolation=None, strict=False)
    parser.optionxform = str
    with open(os.path.join(home, "mirokata.ini"), encoding="cp932") as f:
        parser.read_string(f.read())
    return parser


def wait_for(check, timeout, what, every=0.3):
    end = time.time() + timeout
    while time.time() < end:
        if check():
            return
        time.sleep(every)
    fail(what)


def main_menu_keys(*keys):
    """Pops up the main menu from its tool bar button and walks it with
    `keys`: the popup is not on the accessibility bus. Count from the ends
    that stay put: "スケジュール" first; from the bottom "終了(&X)", "設定",
    "WEBページ", "ツール", whichever items above them are enabled."""
    click(find("push button", "メイン"))
    time.sleep(0.5)
    for key in keys:
        xdo("key", key)
        time.sleep(0.15)


def managed_windows():
    """(id, title) of each window the window manager shows, bottom first
    (needs xprop)."""
    out = subprocess.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"],
                         capture_output=True, text=True).stdout
    ids = [int(w.strip(), 16) for w in out.partition("#")[2].split(",")
           if w.strip()]
    titles = {}
    for line in subprocess.run(["wmctrl", "-l"], capture_output=True,
                               text=True).stdout.splitlines():
        parts = line.split(None, 3)
        if len(parts) >= 3:
            titles[int(parts[0], 16)] = parts[3] if len(parts) > 3 else ""
    return [(i, titles.get(i, "")) for i in ids]


def dismiss_alerts():
    """Notices of the start (no tray host) are answered with their button."""
    for node in walk(application()):
        try:
            if node.getRoleName() == "alert" and showing(node):
                for b in walk(node):
                    if b.getRoleName() == "push button":
                        click(b)
                        break
        except Exception:
            continue


def run_program(binary, seed, scenario):
    """Starts the accessibility bus and the program on a home folder that
    seed(home) fills (it returns the data folder), runs scenario(home,
    data), then ends the program with SIGTERM as a session end does; it
    must end cleanly. Prints PASS."""
    subprocess.Popen(["/usr/libexec/at-spi-bus-launcher",
                      "--launch-immediately"])
    time.sleep(1)
    home = tempfile.mkdtemp(prefix="mirokata_e2e_")
    data = seed(home)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=home,
               LANG="ja_JP.UTF-8")
    env["ASAN_OPTIONS"] = "detect_leaks=0:abort_on_error=1"
    program = subprocess.Popen([binary, "--home", home], env=env)
    try:
        scenario(home, data)
    finally:
        program.send_signal(signal.SIGTERM)
        try:
            code = program.wait(30)
        except subprocess.TimeoutExpired:
            program.kill()
            fail("the program did not end on SIGTERM")
        shutil.rmtree(home, ignore_errors=True)
    if code != 0:
        fail("the program ended with %d" % code)
    print("PASS")
