#!/usr/bin/python3
"""The editors and the manager in the running program, driven as a user
drives them: controls are found by their accessible names over the
accessibility bus and clicked and typed into with xdotool.

usage: editors_e2e.py MIROKATA_BINARY [SCREENSHOT_FOLDER]
Needs DISPLAY (or MIROKATA_TEST_DISPLAY) with a window manager; runs itself
again inside its own D-Bus session with the accessibility bus.
"""
import configparser
import datetime
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

if "--inner" not in sys.argv:
    display = os.environ.get("MIROKATA_TEST_DISPLAY") or os.environ.get(
        "DISPLAY")
    if not display:
        print("SKIP: no display")
        sys.exit(0)
    for tool in ("dbus-run-session", "xdotool", "wmctrl", "import"):
        if not shutil.which(tool):
            print("SKIP: %s is missing" % tool)
            sys.exit(0)
    os.environ["DISPLAY"] = display
    os.execvp("dbus-run-session",
              ["dbus-run-session", "--", "/usr/bin/python3", __file__,
               "--inner"] + sys.argv[1:])

import pyatspi  # noqa: E402  (only inside the session)

BINARY = sys.argv[2]
SHOTS = sys.argv[3] if len(sys.argv) > 3 else None
BOILERPLATE = "お世話になっております。"
MONTHLY = "0900__25.~~"
MANAGER_LINE = "Popup : 毎月25日 09時00分 (土曜/休日:翌日)"


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
    if SHOTS:
        subprocess.run(["import", "-window", "root",
                        os.path.join(SHOTS, name + ".png")], check=True)


def settings(home):
    parser = configparser.ConfigParser(interpolation=None, strict=False)
    parser.optionxform = str
    with open(os.path.join(home, "mirokata.ini"), encoding="cp932") as f:
        parser.read_string(f.read())
    return parser


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


def seed(home):
    data = os.path.join(home, "data")
    os.makedirs(os.path.join(data, "Teikei"))
    rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fcharset128 " \
          "MS Gothic;}}\\f0 "
    for byte in BOILERPLATE.encode("cp932"):
        rtf += "\\'%02x" % byte
    rtf += "\\par }"
    with open(os.path.join(data, "Teikei", "0.rtf"), "w") as f:
        f.write(rtf)
    lines = ["[Calendar]", "Directory=" + data, "[Horiday]", "Set=1",
             "[Qclock]", "Ver=Version 2.62", "[Form]", "Waveplay=0",
             "Tray_icon=0", "top_cal=40", "left_cal=1000", "[Popup_Teikei]",
             "0=挨拶", "[Sch_wind]", "top=120", "left=60", "[Data]",
             "top=120", "left=700"]
    with open(os.path.join(home, "mirokata.ini"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))
    return data


def main():
    subprocess.Popen(["/usr/libexec/at-spi-bus-launcher",
                      "--launch-immediately"])
    time.sleep(1)
    home = tempfile.mkdtemp(prefix="mirokata_e2e_")
    data = seed(home)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=home,
               LANG="ja_JP.UTF-8")
    env["ASAN_OPTIONS"] = "detect_leaks=0:abort_on_error=1"
    program = subprocess.Popen([BINARY, "--home", home], env=env)
    try:
        run(home, data)
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


def run(home, data):
    application()
    time.sleep(2)
    dismiss_alerts()

    # The popup editor from the tool bar: 09:00 on the 25th, every month,
    # to the next working day with Saturdays as holidays.
    click(find("push button", "ポップアップ"))
    editor = find_window("ポップアップの登録")
    set_spin(find("spin button", "時", within=editor), 9)
    set_spin(find("spin button", "分", within=editor), 0)
    set_spin(find("spin button", "日", within=editor), 25)
    click(find("page tab", "25", within=editor))
    click(find("radio button", "翌日へ", within=editor))
    click(find("radio button", "休日扱い", within=editor))
    # The boilerplate prepared in Teikei, inserted.
    click(find("combo box", "定型文のタイトルです。", within=editor))
    xdo("key", "Home")
    xdo("key", "Return")
    time.sleep(0.5)
    click(find("push button", "定型文を挿入", within=editor))
    click(find("check box", "ポップアップを", within=editor))
    set_spin(find("spin button", "秒後に閉じる。", within=editor), 30)
    shot("popup_editor")
    click(find("push button", "保存", within=editor))
    section = data + "/" + MONTHLY
    wait_for(lambda: os.path.exists(os.path.join(data, MONTHLY)), 10,
             "the monthly popup was not saved")
    wait_for(lambda: settings(home).has_section(section), 10,
             "its options section is missing")
    if settings(home).get(section, "closetime") != "30":
        fail("closetime is not 30")
    close_window("ポップアップの登録")

    # The manager lists it in words; a double click reopens it.
    click(find("push button", "スケジュール管理"))
    manager = find_window("スケジュール管理")
    click(find(("push button", "toggle button", "check box"), "全て", within=manager))
    line = find("list item", MANAGER_LINE, within=manager)
    click(line)
    shot("manager_all")
    click(line, double=True)
    editor = find_window("ポップアップの登録")
    text = find("text", "ポップアップ", within=editor)
    if BOILERPLATE not in text_of(text):
        fail("the reopened text lacks the boilerplate: %r" % text_of(text))
    for name in ("翌日へ", "休日扱い"):
        if not checked(find("radio button", name, within=editor)):
            fail(name + " is not chosen in the reopened editor")
    if not checked(find("check box", "ポップアップを", within=editor)):
        fail("auto close is not on in the reopened editor")
    shot("popup_editor_reopened")
    click(find("push button", "削除", within=editor))
    question = find("alert", "Mirokata", timeout=10)
    buttons = [b for b in walk(question) if b.getRoleName() == "push button"]
    click(buttons[0])  # Yes
    wait_for(lambda: not os.path.exists(os.path.join(data, MONTHLY)), 10,
             "the popup was not deleted")
    wait_for(lambda: not settings(home).has_section(section), 10,
             "its options stayed behind")
    click(find(("push button", "toggle button", "check box"), "過去", within=manager))
    shot("manager_past")
    close_window("スケジュール管理")

    # The schedule editor on today, saved; then a one-day popup for the
    # coming minute fires.
    click(find("push button", "スケジュール"))
    schedule = find_window("スケジュールの登録")
    click(find("text", "スケジュール", within=schedule))
    xdo("type", "e2e schedule")
    shot("schedule_editor")
    click(find("push button", "保存して閉じる", within=schedule))
    today = datetime.date.today()
    name = "____%02d%02d.%02d" % (today.month, today.day, today.year % 100)
    wait_for(lambda: os.path.exists(os.path.join(data, name)), 10,
             "the schedule was not saved")

    now = datetime.datetime.now()
    coming = now + datetime.timedelta(minutes=1 if now.second < 40 else 2)
    click(find("push button", "ポップアップ"))
    editor = find_window("ポップアップの登録")
    set_spin(find("spin button", "時", within=editor), coming.hour)
    set_spin(find("spin button", "分", within=editor), coming.minute)
    click(find("text", "ポップアップ", within=editor))
    xdo("type", "e2e popup")
    click(find("push button", "保存して閉じる", within=editor))
    popup = "%02d%02d%02d%02d.%02d" % (coming.hour, coming.minute,
                                       coming.month, coming.day,
                                       coming.year % 100)
    wait_for(lambda: os.path.exists(os.path.join(data, popup)), 10,
             "the one-day popup was not saved")

    def popup_shown():
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                            "^Popup Window"], capture_output=True)
        return r.returncode == 0 and r.stdout.strip()
    wait_for(popup_shown, 150, "the popup did not fire")
    shot("popup_fired")


if __name__ == "__main__":
    main()
