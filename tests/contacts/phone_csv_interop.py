#!/usr/bin/python3
"""Phone book pages against Python's csv module, both ways.

usage: phone_csv_interop.py PHONE_PAGE_INTEROP_BINARY
"""
import csv
import io
import json
import os
import subprocess
import sys
import tempfile

TOOL = sys.argv[1]
BLANKS = "".join(chr(c) for c in range(33))


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def tool(mode, path, data=None):
    result = subprocess.run([TOOL, mode, path], input=data,
                            capture_output=True, check=False)
    if result.returncode != 0:
        fail("%s %s ended with %d: %s" % (mode, path, result.returncode,
                                          result.stderr.decode()))
    return result.stdout


def rows_the_program_writes():
    rows = [
        ["株式会社 東京", "佐藤 太郎", "03-1234-5678", "sato@example.jp",
         "http://example.jp/?a=1&b=2", "192.0.2.1"],
        ["a,b", 'say "hi"', '"', ",", '""', "x"],
        [" lead", "trail ", "two  blanks", "\ttab", "", "ｶﾀｶﾅ"],
        ["", "", "", "", "", ""],
        ["表示", "ソフト", "能力", "予定", "申し込み", "ア"],
    ]
    for i in range(395):
        rows.append(["会社%d" % i, "氏名, %d" % i, "0%d" % i, "", "",
                     "" if i % 3 else "host%d" % i])
    return rows


def normalised(row):
    cells = ["" if c == " " else c for c in row]
    return cells + [""] * (6 - len(cells))


def check_program_to_python(folder):
    rows = rows_the_program_writes()
    path = os.path.join(folder, "0.CSV")
    tool("write", path, json.dumps(rows).encode())
    with open(path, "rb") as f:
        raw = f.read()
    if not raw.endswith(b"\r\n"):
        fail("a page does not end in CR LF")
    text = raw.decode("cp932")
    read = list(csv.reader(io.StringIO(text, newline="")))
    if len(read) != len(rows):
        fail("csv.reader read %d rows of %d" % (len(read), len(rows)))
    for number, (wrote, got) in enumerate(zip(rows, read)):
        if normalised(got) != normalised(wrote):
            fail("row %d: wrote %r, csv.reader read %r" % (number, wrote, got))


def check_python_to_program(folder):
    rows = rows_the_program_writes() + [
        ["a"], [], ["1", "2", "3", "4", "5", "6", "seven", "eight"],
        [" padded ", "x"], [" "]]
    for quoting in (csv.QUOTE_MINIMAL, csv.QUOTE_ALL):
        out = io.StringIO(newline="")
        csv.writer(out, quoting=quoting, lineterminator="\r\n").writerows(rows)
        path = os.path.join(folder, "q%d.CSV" % quoting)
        with open(path, "wb") as f:
            f.write(out.getvalue().encode("cp932"))
        read = json.loads(tool("read", path))
        for number, wrote in enumerate(rows):
            expected = []
            for cell in wrote:
                bare = quoting == csv.QUOTE_MINIMAL and not any(
                    c in cell for c in ',"\r\n')
                # Blanks at the ends of a bare field are not part of it.
                expected.append(cell.strip(BLANKS) if bare else cell)
            if read[number] != normalised(expected):
                fail("quoting %d row %d: csv.writer wrote %r, read %r" %
                     (quoting, number, wrote, read[number]))
        if any(any(cell for cell in row) for row in read[len(rows):]):
            fail("rows after the file's end are not empty")


def main():
    with tempfile.TemporaryDirectory() as folder:
        check_program_to_python(folder)
        check_python_to_program(folder)
    print("PASS")


if __name__ == "__main__":
    main()
