#!/usr/bin/python3
"""The birthday greeting and the birthday book in the running program: a
birthday file for today greets at the first tick, and the book opens from
the main menu on a birthday file, saves an edit and keeps its date.

usage: birthdays_e2e.py MIROKATA_BINARY [SCREENSHOT_FOLDER]
Needs DISPLAY (or MIROKATA_TEST_DISPLAY) with a window manager; runs itself
again inside its own D-Bus session with the accessibility bus.
"""
import datetime
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "support"))
from atspi_e2e import enter_session  # noqa: E402

enter_session(__file__)

from atspi_e2e import (  # noqa: E402
    application, click, close_window, dismiss_alerts, fail, find,
    find_window, main_menu_keys, run_program, settings, shot, showing,
    text_of, wait_for, xdo)

BINARY = sys.argv[2]
BOOK = "Happy Birthday Dear.."
GREETING = "Happy Birthday!!"
TODAY = datetime.date.today()
TODAYS = "BORN%02d%02d.1990" % (TODAY.month, TODAY.day)
# Another day of the year for the book, away from today.
OTHER = datetime.date(1985, 3, 10) if (TODAY.month, TODAY.day) != (3, 10) \
    else datetime.date(1985, 3, 11)
OTHERS = "BORN%02d%02d.1985" % (OTHER.month, OTHER.day)


def rtf(text):
    body = "".join("\\'%02x" % b for b in text.encode("cp932"))
    return ("{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fcharset128 "
            "MS Gothic;}}\\f0 " + body + "\\par }")


def seed(home):
    data = os.path.join(home, "data")
    os.makedirs(data)
    with open(os.path.join(data, TODAYS), "w") as f:
        f.write(rtf("山田太郎"))
    with open(os.path.join(data, OTHERS), "w") as f:
        f.write(rtf("鈴木花子"))
    lines = ["[Calendar]", "Directory=" + data, "[Horiday]", "Set=1",
             "[Qclock]", "Ver=Version 2.62", "[Form]", "Waveplay=0",
             "Tray_icon=0", "top_cal=40", "left_cal=1000",
             "[Bio]", "BD=%04d/%02d/%02d" % (OTHER.year, OTHER.month,
                                            OTHER.day),
             "[Birthday]", "top=60", "left=40"]
    with open(os.path.join(home, "mirokata.ini"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))
    return data


def open_from_main_menu():
    """誕生日管理: the fifth item from the bottom (終了, 設定, WEBページ,
    ツール)."""
    main_menu_keys("Up", "Up", "Up", "Up", "Up", "Return")


def run(home, data):
    application()

    # Today's birthday greets at the first tick, once.
    greeting = find_window(GREETING, timeout=20)
    text = text_of(find("text", "お誕生日", within=greeting))
    age = TODAY.year - 1990
    if "【%d歳の誕生日】1990/%02d/%02d" % (age, TODAY.month, TODAY.day) \
            not in text or "山田太郎" not in text:
        fail("the greeting shows %r" % text)
    wait_for(lambda: settings(home).has_option("Pop_Born", "Day"), 10,
             "the greeting was not written down")
    time.sleep(1)
    shot("birthday_greeting")
    close_window(GREETING)
    time.sleep(1)
    dismiss_alerts()

    # The book from the main menu, at the date it was left on.
    open_from_main_menu()
    book = find_window(BOOK)
    box = find("text", "名前＆その他", within=book)
    wait_for(lambda: "鈴木花子" in text_of(box), 10,
             "the book did not load the birthday file")
    line = "%02d月%02d日【1985年】" % (OTHER.month, OTHER.day)
    find("list item", line, within=book, contains=True)
    find("list item", "%02d月%02d日【1990年】あと 0日" % (TODAY.month, TODAY.day),
         within=book)
    shot("birthday_book")
    # Asked again, the open book comes to the front: still one.
    click(find("push button", "誕生日"))
    time.sleep(1)
    books = [n for n in application() if n.name == BOOK and showing(n)]
    if len(books) != 1:
        fail("%d books are open" % len(books))

    # An edit saved goes to the file.
    click(box)
    xdo("key", "ctrl+End")
    xdo("type", " e2e")
    click(find("push button", "保存", within=book))
    path = os.path.join(data, OTHERS)

    def saved():
        with open(path, "rb") as f:
            return b"e2e" in f.read()
    wait_for(saved, 10, "the edit was not saved")

    close_window(BOOK)
    wait_for(lambda: settings(home).get("Bio", "BD", fallback="") ==
             "%04d/%02d/%02d" % (OTHER.year, OTHER.month, OTHER.day), 10,
             "the book did not keep its date")


if __name__ == "__main__":
    run_program(BINARY, seed, run)
