"""Driving the running program as a user does: controls found by their
accessible names over the accessibility bus, clicked and typed into with
xdotool. Import only inside a D-Bus session (see reexec_in_session)."""
import os
import shutil
import subprocess
import sys
import time


def reexec_in_session(script, tools=("dbus-run-session", "xdotool")):
    """Runs `script` again inside its own D-Bus session unless it already
    is; exits with SKIP when there is no display or a tool is missing."""
    if "--inner" in sys.argv:
        return
    display = os.environ.get("MIROKATA_TEST_DISPLAY") or os.environ.get(
        "DISPLAY")
    if not display:
        print("SKIP: no display")
        sys.exit(0)
    for tool in tools:
        if not shutil.which(tool):
            print("SKIP: %s is missing" % tool)
            sys.exit(0)
    os.environ["DISPLAY"] = display
    os.execvp("dbus-run-session",
              ["dbus-run-session", "--", "/usr/bin/python3", script,
               "--inner"] + sys.argv[1:])


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


def application(name="Mirokata"):
    import pyatspi
    end = time.time() + 30
    while time.time() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.3)
    fail("the program never showed on the accessibility bus")


def showing(node):
    import pyatspi
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


def find_window(title, timeout=15):
    end = time.time() + timeout
    while time.time() < end:
        for node in application():
            try:
                if node.name == title and showing(node):
                    return node
            except Exception:
                continue
        time.sleep(0.3)
    fail("no window %r" % title)


def centre(node):
    import pyatspi
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
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


def text_of(node):
    t = node.queryText()
    return t.getText(0, t.characterCount)


def wait_for(check, timeout, what):
    end = time.time() + timeout
    while time.time() < end:
        if check():
            return
        time.sleep(0.3)
    fail(what)


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


def shot(folder, name):
    if folder:
        subprocess.run(["import", "-window", "root",
                        os.path.join(folder, name + ".png")], check=True)


def run_program(binary, prefix, seed, body):
    """Starts the accessibility bus and the program on a fresh home folder
    prepared by seed(home); runs body(home, seeded) and ends the program
    with SIGTERM, which must end it cleanly. Prints PASS."""
    import signal
    import tempfile
    subprocess.Popen(["/usr/libexec/at-spi-bus-launcher",
                      "--launch-immediately"])
    time.sleep(1)
    home = tempfile.mkdtemp(prefix=prefix)
    seeded = seed(home)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=home,
               LANG="ja_JP.UTF-8")
    env["ASAN_OPTIONS"] = "detect_leaks=0:abort_on_error=1"
    program = subprocess.Popen([binary, "--home", home], env=env)
    try:
        body(home, seeded)
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
