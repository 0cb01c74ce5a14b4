#!/usr/bin/python3
"""The automatic diary in the running program: the month list opens by
itself at the set minute; today's page is opened with a double-click,
written, given its weather and closed; the page is on disk, and the search
finds it.

usage: diary_e2e.py MIROKATA_BINARY [SCREENSHOT_FOLDER]
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
    find_window, run_program, shot, wait_for, xdo)

BINARY = sys.argv[2]
WORD = "river"


def seed(home):
    data = os.path.join(home, "data")
    os.makedirs(data)
    # The next whole minute, with time to start before it.
    at = datetime.datetime.now() + datetime.timedelta(minutes=1)
    if at.second > 40:
        at += datetime.timedelta(minutes=1)
    lines = [
        "[Calendar]", "Directory=" + data, "[Qclock]", "Ver=Version 2.62",
        "[Horiday]", "Set=1", "[Form]", "Waveplay=0", "Tray_icon=0",
        "top_cal=40", "left_cal=1000", "[Nikki]", "Auto=1",
        "Auto_H=%d" % at.hour, "Auto_M=%d" % at.minute, "list_top=40",
        "list_left=20", "list_Width=360", "list_Height=420", "top=60",
        "left=420", "Width=520", "Height=440", "Serch_top=500",
        "Serch_left=20"]
    with open(os.path.join(home, "mirokata.ini"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))
    return data


def page_path(data, today):
    return os.path.join(data, "Diary", today.strftime("%Y%m%d") + ".JNL")


def run(home, data):
    application()
    time.sleep(2)
    dismiss_alerts()
    today = datetime.date.today()
    listing = find_window("日記リスト", timeout=150)
    shot("diary_list")
    row = find("list item", today.strftime("%Y/%m/%d"), within=listing,
               contains=True)
    click(row, double=True)
    page = find_window("の日記", contains=True)
    title = page.name
    editor = find("text", "本文", within=page)
    click(editor)
    xdo("type", "walked to the " + WORD)
    click(find("push button", "晴", within=page))
    time.sleep(0.5)
    shot("diary_page")
    close_window(title)
    path = page_path(data, today)
    wait_for(lambda: os.path.exists(path), 10, "no page at " + path)
    with open(path, "rb") as f:
        written = f.read()
    if b"WEATHER:" + "晴".encode("cp932") + b"\r\n" not in written:
        fail("the page lacks its weather: %r" % written[:200])
    if WORD.encode() not in written.partition(b":END\r\n")[2]:
        fail("the page lacks its text")
    mode = os.stat(path).st_mode & 0o777
    if mode != 0o600:
        fail("the page has mode %o" % mode)
    if os.stat(os.path.dirname(path)).st_mode & 0o777 != 0o700:
        fail("the diary folder is not private")

    click(find("push button", "検索", within=listing))
    search = find_window("日記の検索")
    click(find("text", "検索文字列", within=search))
    xdo("key", "ctrl+a")
    xdo("type", WORD)
    xdo("key", "Return")
    hit = find("list item", "【本文】", within=search, contains=True)
    shot("diary_results")
    click(hit, double=True)
    page = find_window("の日記", contains=True)
    shot("diary_jump")
    close_window(page.name)
    close_window("日記の検索")
    close_window("日記リスト")


def main():
    run_program(BINARY, seed, run)


if __name__ == "__main__":
    main()
