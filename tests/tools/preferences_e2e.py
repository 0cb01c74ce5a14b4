#!/usr/bin/python3
"""The preferences in the running program, driven as a user drives them:
opened from the main menu, every page shown (a picture of each when a
folder is given), Cancel after a change leaving the settings file as it
was, and OK writing the one changed key.

usage: preferences_e2e.py MIROKATA_BINARY [SCREENSHOT_FOLDER]
Needs DISPLAY (or MIROKATA_TEST_DISPLAY) with a window manager; runs itself
again inside its own D-Bus session with the accessibility bus.
"""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "support"))
from atspi_e2e import enter_session  # noqa: E402

enter_session(__file__)

from atspi_e2e import (  # noqa: E402
    application, checked, click, dismiss_alerts, fail, find, find_window,
    main_menu_keys, run_program, settings, shot, showing, wait_for)

BINARY = sys.argv[2]
TITLE = "Mirokata 環境設定"
PAGES = ("基本設定", "拡張設定", "補助設定", "ｶﾚﾝﾀﾞｰ", "ｽｹｼﾞｭｰﾙ", "メモ", "日記",
         "ﾎﾟｯﾌﾟｱｯﾌﾟ", "簡易電話帳", "ﾊﾞｰｼﾞｮﾝ情報")
PREFERENCES = ("Up", "Up", "Right", "Return")  # "設定", "環境設定"


def seed(home):
    data = os.path.join(home, "data")
    os.makedirs(data)
    lines = [
        "[Calendar]", "Directory=" + data, "[Qclock]", "Ver=Version 2.62",
        "[Horiday]", "Set=1", "01/01=【元日】", "[Form]", "Waveplay=0",
        "Tray_icon=0", "top_cal=40", "left_cal=1000", "Height=190"]
    with open(os.path.join(home, "mirokata.ini"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))
    return data


def open_preferences():
    main_menu_keys(*PREFERENCES)
    return find_window(TITLE)


def window_gone():
    for node in application():
        try:
            if node.name == TITLE and showing(node):
                return False
        except Exception:
            continue
    return True


def every_page(window):
    for number, page in enumerate(PAGES):
        click(find("page tab", page, within=window))
        # The page itself shows, not only its tab.
        find("filler", page, timeout=5, within=window)
        shot("preferences_%02d" % number)
    find("label", "Version 2.62", timeout=5, within=window)


def cancel_writes_nothing(home, window):
    path = os.path.join(home, "mirokata.ini")
    with open(path, "rb") as f:
        before = f.read()
    click(find("page tab", "拡張設定", within=window))
    box = find("check box", "ウィンドウの位置を固定", within=window)
    click(box)
    if not checked(box):
        fail("the check box did not take the click")
    click(find("push button", "キャンセル", within=window))
    wait_for(window_gone, 10, "the preferences stayed open after Cancel")
    with open(path, "rb") as f:
        if f.read() != before:
            fail("Cancel changed the settings file")


def ok_writes_the_change(home, window):
    click(find("page tab", "拡張設定", within=window))
    click(find("check box", "ウィンドウの位置を固定", within=window))
    click(find("push button", "OK", within=window))
    wait_for(window_gone, 10, "the preferences stayed open after OK")
    form = settings(home)["Form"]
    if form.get("Move") != "1":
        fail("Form/Move is %r after OK" % form.get("Move"))
    # Untouched switches keep their absent keys.
    written = [k for k in ("Today_pop", "Todo_pop", "Interval", "Delete")
               if k in form]
    if settings(home).has_section("CalendarEx") or written:
        fail("OK wrote keys the user did not change: %r" % written)


def run(home, data):
    application()
    time.sleep(2)
    dismiss_alerts()
    window = open_preferences()
    every_page(window)
    cancel_writes_nothing(home, window)
    ok_writes_the_change(home, open_preferences())


def main():
    run_program(BINARY, seed, run)


if __name__ == "__main__":
    main()
