"""Reads the settings file as another program would.

  preferences_ini.py SETTINGS EXPECTED

EXPECTED holds one "section<TAB>key<TAB>value" line per key (UTF-8);
Python's configparser, reading SETTINGS as CP932, must find each value.
Exit status 0 when all are found; what differs is printed.
"""
import configparser
import sys


def main():
    settings, expected = sys.argv[1:3]
    parser = configparser.ConfigParser(interpolation=None, strict=True)
    parser.optionxform = str  # keep the keys' letter case
    parser.read(settings, encoding="cp932")
    ok = True
    with open(expected, encoding="utf-8") as f:
        for line in f:
            section, key, value = line.rstrip("\n").split("\t")
            got = parser.get(section, key, fallback=None)
            if got != value:
                print("%s/%s: %r != %r" % (section, key, got, value))
                ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
