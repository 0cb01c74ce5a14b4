#!/usr/bin/python3
"""The phone book in the running program: opened from the main menu with
the keyboard, pages switched, a search, and the mail program started with
the address as one argument.

usage: phone_book_e2e.py MIROKATA_BINARY [SCREENSHOT_FOLDER]
Needs DISPLAY (or MIROKATA_TEST_DISPLAY) with a window manager.
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "support"))
import atspi_e2e as ui  # noqa: E402

ui.enter_session(os.path.abspath(__file__))

import pyatspi  # noqa: E402  (only inside the session)

BINARY = sys.argv[2]
ADDRESS = "sato taro@example.jp"


def line(*cells):
    out = []
    for cell in cells:
        cell = cell or " "
        if any(ord(c) <= 32 or c in '",' for c in cell):
            cell = '"' + cell.replace('"', '""') + '"'
        out.append(cell)
    return (",".join(out) + "\r\n").encode("cp932")


def seed(home):
    data = os.path.join(home, "data")
    tel = os.path.join(data, "Tel")
    os.makedirs(tel)
    with open(os.path.join(tel, "0.CSV"), "wb") as f:
        f.write(line("株式会社 見本", "佐藤 太郎", "03-1234-5678", ADDRESS,
                     "example.jp", "127.0.0.1"))
        f.write(line("見本商事", "鈴木 花子", "06-1111-2222", "", "", ""))
    with open(os.path.join(tel, "2.csv"), "wb") as f:
        f.write(line("北海道支社", "加藤 次郎", "011-222-3333", "", "", ""))
    recorder = os.path.join(home, "mailer.sh")
    with open(recorder, "w") as f:
        f.write("#!/bin/sh\nprintf '%%s\\n' \"$#\" \"$@\" > %s/mailer.out\n"
                % home)
    os.chmod(recorder, 0o755)
    lines = ["[Calendar]", "Directory=" + data, "[Horiday]", "Set=1",
             "[Qclock]", "Ver=Version 2.62", "[Form]", "Waveplay=0",
             "Tray_icon=0", "top_cal=40", "left_cal=1000",
             "[TelePhone]", "top=60", "left=40", "Mailer=" + recorder]
    with open(os.path.join(home, "mirokata.ini"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))
    return tel


def main():
    ui.run_program(BINARY, seed, run)


def run(home, tel):
    ui.application()
    time.sleep(2)
    ui.dismiss_alerts()

    # The main menu from its button, walked with the keyboard:
    # スケジュール, 個人データ, then its first item 簡易電話帳.
    ui.click(ui.find("push button", "メイン"))
    for key in ("Down", "Down", "Right", "Return"):
        ui.xdo("key", key)
        time.sleep(0.3)
    book = ui.find_window("簡易電話帳")
    grid = ui.find("table", "電話番号リスト", within=book)
    if not any(n.name == "佐藤 太郎" for n in ui.walk(grid)):
        ui.fail("the first page does not show its rows")
    dial = ui.find("text", "電話番号", within=book)
    if ui.text_of(dial) != "03-1234-5678":
        ui.fail("the dialling field shows %r" % ui.text_of(dial))
    ui.shot("phone_book")

    # Another page (a lower-case file name) and back.
    ui.click(ui.find("page tab", "か", within=book))
    ui.wait_for(lambda: any(n.name == "加藤 次郎" for n in ui.walk(grid)), 10,
                "page か does not show 2.csv")
    ui.click(ui.find("page tab", "電話帳", within=book))
    ui.wait_for(lambda: any(n.name == "佐藤 太郎" for n in ui.walk(grid)), 10,
                "the first page did not come back")

    # A search lands on the result page and in 12.CSV.
    field = ui.find("text", "検索文字", within=book)
    ui.click(field)
    # xdotool cannot type kanji into the field; the text goes in over the
    # accessibility bus and Enter starts the search.
    field.queryEditableText().setTextContents("見本")
    time.sleep(0.3)
    ui.xdo("key", "Return")
    result = os.path.join(tel, "12.CSV")
    ui.wait_for(lambda: os.path.exists(result), 10, "no search result file")
    with open(result, "rb") as f:
        found = f.read().decode("cp932").splitlines()
    if len(found) != 2 or "佐藤 太郎" not in found[0]:
        ui.fail("the search found %r" % found)
    # The result page has headers of its own.
    ui.wait_for(lambda: any(n.name == "項目１" for n in ui.walk(grid)), 10,
                "the result page is not shown")
    ui.shot("phone_book_search")

    # The mail program gets the address as one argument.
    ui.click(ui.find("push button", "E-Mail", within=book))
    out = os.path.join(home, "mailer.out")
    ui.wait_for(lambda: os.path.exists(out), 10, "the mailer did not start")
    time.sleep(0.3)
    with open(out) as f:
        args = f.read().splitlines()
    if args != ["1", ADDRESS]:
        ui.fail("the mailer got %r" % args)

    # Reorder mode shows the row handles.
    reorder = ui.find("check box", "並び変えモード", within=book)
    ui.click(reorder)
    ui.shot("phone_book_reorder")
    ui.click(reorder)

    # A ping of 127.0.0.1 ends in a box (a reply, or the kernel's refusal
    # where ping sockets are not allowed) and the button comes back.
    ui.click(ui.find("push button", "Ping", within=book))
    box = ui.find("alert", "Mirokata", timeout=10)
    said = " ".join(n.name for n in ui.walk(box) if n.name)
    if "応答がありました" not in said and "Pingを送信できません" not in said:
        ui.fail("the ping box says %r" % said)
    ui.shot("phone_book_ping")
    for node in ui.walk(box):
        if node.getRoleName() == "push button":
            ui.click(node)
            break
    ui.wait_for(lambda: ui.find("push button", "Ping", within=book)
                .getState().contains(pyatspi.STATE_ENABLED), 10,
                "the ping button did not come back")
    subprocess.run(["wmctrl", "-c", "簡易電話帳"], check=False)
    time.sleep(1)


if __name__ == "__main__":
    main()
