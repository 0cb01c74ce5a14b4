"""Reads what the entry editing wrote with other programs' readers.

  entry_interop.py unrtf FILE TEXT...
      unrtf's HTML of the RTF file holds every TEXT.
  entry_interop.py ini FILE SECTION [KEY=VALUE...]
      Python's configparser, reading the settings file as CP932, finds the
      section with these values.
  entry_interop.py no-ini-section FILE SECTION
      ... and finds no such section.
Exit status 0 when all holds; what differs is printed.
"""
import configparser
import html
import subprocess
import sys


def check_unrtf(path, texts):
    out = subprocess.run(["unrtf", "--html", path], capture_output=True,
                         check=True).stdout.decode("utf-8", "replace")
    text = html.unescape(out)
    missing = [t for t in texts if t not in text]
    for t in missing:
        print("not in unrtf's output: %r" % t)
    return not missing


def read_ini(path):
    parser = configparser.ConfigParser(interpolation=None, strict=True)
    parser.optionxform = str  # keep the keys' letter case
    parser.read(path, encoding="cp932")
    return parser


def check_ini(path, section, pairs):
    parser = read_ini(path)
    if not parser.has_section(section):
        print("no section %r among %r" % (section, parser.sections()))
        return False
    ok = True
    for pair in pairs:
        key, value = pair.split("=", 1)
        got = parser.get(section, key, fallback=None)
        if got != value:
            print("%r/%r: %r != %r" % (section, key, got, value))
            ok = False
    return ok


def main():
    command, path = sys.argv[1:3]
    rest = sys.argv[3:]
    if command == "unrtf":
        ok = check_unrtf(path, rest)
    elif command == "ini":
        ok = check_ini(path, rest[0], rest[1:])
    elif command == "no-ini-section":
        ok = not read_ini(path).has_section(rest[0])
        if not ok:
            print("section %r is still there" % rest[0])
    else:
        print("unknown command %r" % command)
        ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
