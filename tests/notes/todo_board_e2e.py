#!/usr/bin/python3
"""The to-do board in the running program, driven as a user drives it: it
opens at start (Form/Todo_pop), a note is added, its title kept, it is
dragged onto "終了したもの", and both tree files on disk say so.

usage: todo_board_e2e.py MIROKATA_BINARY [SCREENSHOT_FOLDER]
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
    application, centre, click, close_window, dismiss_alerts, fail, find,
    find_window, run_program, shot, wait_for, xdo)

BINARY = sys.argv[2]
BOARD = "Todo Board"
ITEM_ROLES = ("tree item", "table cell", "list item")


def seed(home):
    data = os.path.join(home, "data")
    os.makedirs(data)
    lines = [
        "[Calendar]", "Directory=" + data, "[Qclock]", "Ver=Version 2.62",
        "[Horiday]", "Set=1", "[Form]", "Waveplay=0", "Tray_icon=0",
        "Todo_pop=1", "top_cal=40", "left_cal=1000",
        "[TodoBoard]", "top=60", "left=60", "Width=640", "Height=420",
        "TreeWidth=260"]
    with open(os.path.join(home, "mirokata.ini"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))
    return data


def tree_files(data):
    folder = os.path.join(data, "Todo")
    try:
        with open(os.path.join(folder, "TreeData.q32"), "rb") as f:
            titles = f.read().decode("cp932")
        with open(os.path.join(folder, "TreeFile.q32"), "rb") as f:
            files = f.read().decode("cp932")
    except OSError:
        return None, None
    return titles, files


def drag(source, target):
    """A left-button drag in small steps, as a hand moves the mouse."""
    sx, sy = centre(source)
    tx, ty = centre(target)
    xdo("mousemove", sx, sy)
    time.sleep(0.2)
    xdo("mousedown", 1)
    time.sleep(0.2)
    steps = 12
    for i in range(1, steps + 1):
        xdo("mousemove", sx + (tx - sx) * i // steps,
            sy + (ty - sy) * i // steps)
        time.sleep(0.05)
    time.sleep(0.3)
    xdo("mouseup", 1)
    time.sleep(0.8)


def run(home, data):
    application()
    time.sleep(2)
    dismiss_alerts()
    board = find_window(BOARD, timeout=30)
    click(find("push button", "追加", within=board))
    # The new title is open for editing: keep it as it is.
    xdo("key", "Return")
    time.sleep(0.5)

    def added():
        titles, files = tree_files(data)
        return files is not None and "\t0.q32\r\n" in files and \
            "登録" in titles
    wait_for(added, 10, "the new note is not in the tree files")
    titles, _ = tree_files(data)
    note_title = [line.strip() for line in titles.split("\r\n")
                  if line.startswith("\t")][0]
    note = find(ITEM_ROLES, note_title, within=board)
    done = find(ITEM_ROLES, "終了したもの", within=board)
    shot("todo_board_added")
    drag(note, done)
    want_files = ("%$#Q32#$%\r\n%$#Q32#$%\r\n%$#Q32#$%\r\n\t0.q32\r\n"
                  "%$#G32#$%\r\n")
    want_titles = ("やるべきもの\r\n保留されているもの\r\n終了したもの\r\n"
                   "\t" + note_title + "\r\nごみ箱\r\n")

    def moved():
        return tree_files(data) == (want_titles, want_files)
    wait_for(moved, 10, "after the drag the tree files hold %r" %
             (tree_files(data),))
    shot("todo_board_moved")
    close_window(BOARD)
    wait_for(lambda: tree_files(data) == (want_titles, want_files), 5,
             "closing changed the tree files")
    print("board: note %r moved onto 終了したもの" % note_title)


def main():
    run_program(BINARY, seed, run)


if __name__ == "__main__":
    main()
