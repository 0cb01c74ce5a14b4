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
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "support"))
from atspi_driver import (application, click, dismiss_alerts,  # noqa: E402
                          fail, find, find_window, reexec_in_session,
                          run_program, text_of, wait_for, walk, xdo)

reexec_in_session(os.path.abspath(__file__),
                  ("dbus-run-session", "xdotool", "wmctrl", "import"))

import pyatspi  # noqa: E402  (only inside the session)

BINARY = sys.argv[2]
SHOTS = sys.argv[3] if len(sys.argv) > 3 else None
BOILERPLATE = "お世話になっております。"
MONTHLY = "0900__25.~~"
MANAGER_LINE = "Popup : 毎月25日 09時00分 (土曜/休日:翌日)"


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
    run_program(BINARY, "mirokata_e2e_", seed, run)


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
