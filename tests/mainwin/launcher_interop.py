#!/usr/bin/env python3
"""The launcher against Python: parse_qs reads the typed text back out of
the web search address, and a Python program set as the association gets
exactly the dropped path as its one argument, whatever the name holds."""
import json
import os
import subprocess
import sys
import tempfile
import time
import urllib.parse

front = sys.argv[1]
failures = []

for text in ["日本語の辞書", "a&b=c", "#frag", "1+1 = 2", "100%", "%41",
             "  spaced  ", "a&lr=lang_en", "全角　空白&＃"]:
    address = subprocess.run([front, "search", text], check=True,
                             capture_output=True, text=True).stdout.strip()
    query = urllib.parse.urlsplit(address).query
    values = urllib.parse.parse_qs(query, keep_blank_values=True)
    if values.get("q") != [text] or values.get("lr") != ["lang_ja"]:
        failures.append("search %r -> %r -> %r" % (text, address, values))

with tempfile.TemporaryDirectory() as folder:
    out = os.path.join(folder, "argv.json")
    program = os.path.join(folder, "record.py")
    with open(program, "w") as f:
        f.write("#!%s\nimport json, sys\n"
                "open(%r, 'w').write(json.dumps(sys.argv[1:]))\n"
                % (sys.executable, out))
    os.chmod(program, 0o755)
    ini = os.path.join(folder, "mirokata.ini")
    with open(ini, "wb") as f:
        f.write(("[Ext_Form]\r\nExec=%s\r\n" % program).encode("cp932"))
    for name in ['a" --x "b.txt', "$(touch pwned).txt", "semi;colon|pipe",
                 "new\nline.TXT", "'single' quotes", "名前 with space.jpg",
                 "-dash-first", "back\\slash\\\".txt"]:
        path = os.path.join(folder, name)
        with open(path, "w") as f:
            f.write("x")
        if os.path.exists(out):
            os.remove(out)
        subprocess.run([front, "drop", ini, path], check=True,
                       capture_output=True)
        for _ in range(100):
            if os.path.exists(out) and os.path.getsize(out) > 0:
                break
            time.sleep(0.05)
        try:
            with open(out) as f:
                got = json.load(f)
        except (OSError, ValueError) as e:
            got = "nothing (%s)" % e
        if got != [path]:
            failures.append("drop %r -> %r" % (name, got))
    if os.path.exists(os.path.join(folder, "pwned")):
        failures.append("a name ran a command")

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
