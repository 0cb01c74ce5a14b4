"""Reads a settings file we wrote with Python's configparser (CP932) and
compares every value with the expected text (a JSON file of
{section: {key: value}}). Exit status 0 when all match."""
import configparser
import json
import sys


def main():
    ini, expected_path = sys.argv[1:3]
    with open(expected_path, encoding="utf-8") as f:
        expected = json.load(f)
    parser = configparser.ConfigParser(interpolation=None, strict=True)
    parser.optionxform = str  # keep the keys' letter case
    parser.read(ini, encoding="cp932")
    problems = []
    count = 0
    for section, keys in expected.items():
        if not parser.has_section(section):
            problems.append("no section %r" % section)
            continue
        for key, value in keys.items():
            got = parser.get(section, key, fallback=None)
            count += 1
            if got != value:
                problems.append("%r/%r: %r != %r" % (section, key, got, value))
    for p in problems[:20]:
        print(p)
    print("%d values read, %d differ" % (count, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
