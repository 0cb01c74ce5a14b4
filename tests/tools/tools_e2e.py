#!/usr/bin/python3
"""The tool windows in the running program, driven as a user drives them:
the schedule list shown at start, the countdown timer hidden for a minute
and back in front at its end, and meanwhile the day calculator, the date
jump and the period tracker.

usage: tools_e2e.py MIROKATA_BINARY [SCREENSHOT_FOLDER]
Needs DISPLAY (or MIROKATA_TEST_DISPLAY) with a window manager; runs itself
again inside its own D-Bus session with the accessibility bus.

Each case of WHILE_COUNTING is one function taking the home folder; it runs
while the countdown's minute passes and leaves its windows closed.
"""
import configparser
import datetime
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "support"))
from atspi_e2e import enter_session  # noqa: E402

enter_session(__file__, more_tools=("xprop",))

from atspi_e2e import (  # noqa: E402
    application, click, close_window, dismiss_alerts, extents, fail, find,
    find_window, main_menu_keys, managed_windows, run_program, set_spin,
    shot, text_of, wait_for, walk)

BINARY = sys.argv[2]
COUNTDOWN = "減算タイマー"
TOOLS = ("Up", "Up", "Up", "Up", "Right")  # the first item of "ツール"


def seed(home):
    data = os.path.join(home, "data")
    os.makedirs(data)
    # The main window in its calendar mode (Height 190): the date jump is
    # not offered in the tool bar mode.
    lines = [
        "[Calendar]", "Directory=" + data, "[Qclock]", "Ver=Version 2.62",
        "[Horiday]", "Set=1", "[Form]", "Waveplay=0", "Tray_icon=0",
        "top_cal=40", "left_cal=1000", "Height=190", "Today_pop=1",
        "[Sch_List]", "top=40", "left=20", "Height=560", "mae=2", "ato=7",
        "[Gtimer]", "top=80", "left=300", "[DayCalc]", "top=330",
        "left=300", "[Jump]", "top=560", "left=300", "[Setup]", "Period=0",
        "[Peri]", "top=100", "left=250"]
    with open(os.path.join(home, "mirokata.ini"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))
    return data


def report_at_start():
    """Form/Today_pop: the list is open at start, its caption the range."""
    today = datetime.date.today()
    first = today - datetime.timedelta(days=2)
    last = today + datetime.timedelta(days=7)
    # The weekday names and the wave dash between are left to the regular
    # expression: the caption's plain-text name holds them mangled.
    pattern = "^%s \\(.*%s \\(" % (first.strftime("%Y/%m/%d"),
                                   last.strftime("%Y/%m/%d"))

    def found():
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                            pattern], capture_output=True)
        return r.returncode == 0 and r.stdout.strip()
    wait_for(found, 20, "no schedule list captioned %s～%s at start" %
             (first, last))
    shot("schedule_list")


def start_countdown():
    """One minute, the window hidden until its end; returns the start."""
    main_menu_keys(*TOOLS, "Down", "Return")  # "日数計算", "減算タイマー"
    timer = find_window(COUNTDOWN)
    set_spin(find("spin button", "時間", within=timer), 0)
    set_spin(find("spin button", "分後", within=timer), 1)
    click(find("check box", "時間が来るまで窓を隠す。", within=timer))
    shot("countdown")
    click(find("push button", "開始", within=timer))
    started = time.time() - 0.4  # click() waits 0.4 s after the click

    def shown():
        return any(COUNTDOWN in title for _, title in managed_windows())
    wait_for(lambda: not shown(), 5, "the countdown window did not hide")
    return started, shown


def end_of_countdown(started, shown):
    wait_for(shown, 75, "the countdown window did not come back", every=0.1)
    elapsed = time.time() - started
    if abs(elapsed - 60) > 1:
        fail("the countdown window came back after %.2f s" % elapsed)
    # In front of the windows opened while it counted.
    stack = managed_windows()
    top = max(i for i, (_, title) in enumerate(stack)
              if COUNTDOWN in title)
    above = [title for _, title in stack[top + 1:] if title]
    if any(t not in ("panel",) for t in above):
        fail("windows above the countdown at its end: %r" % above)
    shot("countdown_end")
    print("countdown: back after %.2f s" % elapsed)
    close_window(COUNTDOWN)


def day_calculator(home):
    """2000/01/01 00:00:00 to 2000/01/02 01:01:01."""
    main_menu_keys(*TOOLS, "Return")
    calc = find_window("日数計算")
    a = find(("panel", "filler"), "日時A", within=calc)
    b = find(("panel", "filler"), "日時B", within=calc)
    for box, value in (("年", 2000), ("月", 1), ("日", 1), ("時", 0),
                       ("分", 0), ("秒", 0)):
        set_spin(find("spin button", box, within=a), value)
    for box, value in (("年", 2000), ("月", 1), ("日", 2), ("時", 1),
                       ("分", 1), ("秒", 1)):
        set_spin(find("spin button", box, within=b), value)
    click(find("push button", "計算", within=calc))
    result = find("text", "計算結果", within=calc)
    wait_for(lambda: "90,061秒" in text_of(result), 10,
             "no result in %r" % text_of(result))
    lines = [line.strip() for line in text_of(result).splitlines()]
    want = ["1日 1時間 1分 1秒", "25時間 1分 1秒", "1,501分 1秒", "90,061秒"]
    if lines[-4:] != want:
        fail("the day calculator says %r" % lines)
    if not lines[0].startswith("2000/01/01 (") or \
            not lines[0].endswith("00:00:00 から"):
        fail("its first line is %r" % lines[0])
    shot("day_calculator")
    close_window("日数計算")


def date_jump(home):
    """To 2000/02/29: the grid then shows February 2000."""
    # "スケジュール", round to its last item "指定日に移動" (in the
    # calendar mode only).
    main_menu_keys("Down", "Right", "Up", "Return")
    # Its caption is the distance from today.
    jump = find_window("本日")
    set_spin(find("spin button", "年", within=jump), 2000)
    set_spin(find("spin button", "月", within=jump), 2)
    set_spin(find("spin button", "日", within=jump), 29)
    days = (datetime.date.today() - datetime.date(2000, 2, 29)).days
    find_window("%d日前" % days)
    shot("date_jump")
    click(find("push button", "指定日にセット", within=jump))
    main = find_window("Mirokata")
    year = find("label", "2000", within=main)
    y = extents(year)

    def month_beside_year():
        for node in walk(main):
            try:
                if node.getRoleName() == "label" and node.name == "2":
                    e = extents(node)
                    if e.y == y.y and e.x > y.x:
                        return True
            except Exception:
                continue
        return False
    wait_for(month_beside_year, 10, "the grid does not show month 2")


def period_tracker(home):
    """Three dates added; Period.ini holds them, readable by us only."""
    # "個人データ", round to its last item "Period" (shown with
    # Setup/Period=0).
    main_menu_keys("Down", "Down", "Right", "Up", "Return")
    window = find_window("Period")
    dates = ((2026, 9, 7), (2026, 10, 6), (2026, 11, 3))
    for y, m, d in dates:
        set_spin(find("spin button", "年", within=window), y)
        set_spin(find("spin button", "月", within=window), m)
        set_spin(find("spin button", "日", within=window), d)
        click(find("push button", "追加", within=window))
    path = os.path.join(home, "data", "Period", "Period.ini")
    want = ["%04d/%02d/%02d" % date for date in dates]

    def stored():
        parser = configparser.ConfigParser(interpolation=None, strict=False)
        parser.optionxform = str
        try:
            with open(path, encoding="cp932") as f:
                parser.read_string(f.read())
            section = parser["Period"]
            return [section[str(i)] for i in range(int(section["Count"]))]
        except (OSError, KeyError, ValueError):
            return None
    wait_for(lambda: stored() == want, 10,
             "Period.ini holds %r, not %r" % (stored(), want))
    mode = os.stat(path).st_mode & 0o777
    if mode != 0o600:
        fail("Period.ini has mode %o" % mode)
    folder_mode = os.stat(os.path.dirname(path)).st_mode & 0o777
    if folder_mode != 0o700:
        fail("the Period folder has mode %o" % folder_mode)
    find("list item", "2026/11/03", within=window)
    shot("period")
    close_window("Period")


WHILE_COUNTING = [day_calculator, date_jump, period_tracker]


def run(home, data):
    application()
    time.sleep(2)
    dismiss_alerts()
    report_at_start()
    started, shown = start_countdown()
    for case in WHILE_COUNTING:
        case(home)
    end_of_countdown(started, shown)


def main():
    run_program(BINARY, seed, run)


if __name__ == "__main__":
    main()
