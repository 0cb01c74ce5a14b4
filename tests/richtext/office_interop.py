#!/usr/bin/env python3
"""RTF with numbered lists and spacing between the editors and LibreOffice.

1. A page the editors wrote is converted to text by LibreOffice: the
   Japanese text, a character outside code page 932 and the list numbers
   of two lists ("1." to "3.", then "a." and "b.") are there.
2. LibreOffice's RTF of a numbered list with spacing (a fixture it wrote
   from libreoffice_numbered.html) is opened and saved by the editors: the
   lists and spacing were read, and LibreOffice reads the saved file back
   with the same numbers and spacing.

Usage: office_interop.py RTF_OFFICE_TOOL FIXTURE_DIR
Exits 77 (skipped) when soffice is not installed.
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

SKIP = 77


def convert(soffice, profile, source, target_filter, outdir):
    subprocess.run(
        [soffice, f"-env:UserInstallation={profile.as_uri()}", "--headless",
         "--norestore", "--convert-to", target_filter, "--outdir", str(outdir),
         str(source)],
        check=True, timeout=180, stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL)


def text_of(soffice, profile, rtf, outdir):
    convert(soffice, profile, rtf, "txt:Text (encoded):UTF8", outdir)
    return (outdir / (rtf.stem + ".txt")).read_text(encoding="utf-8-sig")


def lines_of(text):
    return [line.strip() for line in text.splitlines() if line.strip()]


def main():
    tool, fixtures = sys.argv[1], pathlib.Path(sys.argv[2])
    soffice = shutil.which("soffice")
    if soffice is None:
        print("SKIP: soffice is not installed")
        return SKIP
    failures = []

    def expect(condition, what):
        if not condition:
            failures.append(what)

    with tempfile.TemporaryDirectory(prefix="richtext_office_") as tmp:
        tmp = pathlib.Path(tmp)
        profile = tmp / "profile"
        out = tmp / "out"
        out.mkdir()

        # 1. The editors' page, read by LibreOffice.
        page = tmp / "page.rtf"
        subprocess.run([tool, "write", str(page)], check=True, timeout=60)
        lines = lines_of(text_of(soffice, profile, page, out))
        expect(lines == ["買い物の予定 Café 😀", "1. 牛乳を買う", "2. 卵を買う",
                         "3. 表示ソフトを直す", "寄る所", "a. 郵便局",
                         "b. 銀行"], f"page as text: {lines}")

        # 2. LibreOffice's list, opened and saved by the editors.
        saved = tmp / "resaved.rtf"
        read = subprocess.run(
            [tool, "resave", str(fixtures / "libreoffice_numbered.rtf"),
             str(saved)], check=True, timeout=60, capture_output=True,
            text=True).stdout
        rows = [line.split("\t") for line in read.splitlines()]
        kinds = [(r[0], int(r[1])) for r in rows]
        expect(kinds == [("none", 0), ("decimal", 1), ("decimal", 2),
                         ("decimal", 3), ("lower-alpha", 3),
                         ("lower-alpha", 4), ("none", 0)],
               f"lists read: {kinds}")
        # The heading: 0.5 cm before, 0.3 cm after, 150 % line height.
        expect(rows[0][2:6] == ["283", "170", "360", "1"],
               f"heading spacing read: {rows[0]}")
        lines = lines_of(text_of(soffice, profile, saved, out))
        expect(lines == ["買い物の予定", "1. 牛乳を買う", "2. 卵を買う",
                         "3. パンを買う", "c. 郵便局", "d. 銀行",
                         "以上、Café"], f"saved list as text: {lines}")
        convert(soffice, profile, saved, "html", out)
        html = (out / "resaved.html").read_text(encoding="utf-8",
                                                errors="replace")
        # LibreOffice writes centimetres of the original as inches.
        expect(re.search(r"margin-top: 0\.2in", html) is not None,
               "space before the heading is lost")
        expect(re.search(r"margin-bottom: 0\.12in", html) is not None,
               "space after the heading is lost")
        expect("line-height: 150%" in html, "line height is lost")

    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
