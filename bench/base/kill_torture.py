#!/usr/bin/env python3
"""Kill -9 torture of the atomic writes.

Starts tests/base/kill_torture_writer (a child that writes settings
batches, popup options, an entry file and the wallpaper bitmap, generation
after generation) and kills it with SIGKILL at a random moment, again and
again. After every kill each file must be whole: the old or the new version
(its generation and checksum agree), never torn, never missing, never older
than after the kill before, and the files must stand in the order the child
writes them.

    kill_torture.py --writer build/bin/kill_torture_writer [--kills 1000]

Prints one summary line; exit status 1 when any file was torn, missing or
went back.
"""
import argparse
import os
import random
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

ENTRY = "0900__25.~~"
DATA = "データ〜é😀"


def decode_text(raw):
    """The settings file's text rule: CP932, or "{u}" and {HEX} escapes."""
    if not raw.startswith(b"{u}"):
        return raw.decode("cp932", errors="replace")
    text = raw[3:].decode("cp932", errors="replace")
    out, i = [], 0
    while i < len(text):
        m = re.match(r"\{([0-9A-Fa-f]{1,6})\}", text[i:]) if text[i] == "{" else None
        if m:
            cp = int(m.group(1), 16)
            if cp <= 0x10FFFF and not 0xD800 <= cp < 0xE000:
                out.append(chr(cp))
                i += m.end()
                continue
        out.append(text[i])
        i += 1
    return "".join(out)


class Torn(Exception):
    pass


def crc(data):
    return "%08x" % (zlib.crc32(data) & 0xFFFFFFFF)


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


def check_ini(path, section):
    """Generations of the [Torture] batch and of the popup options."""
    raw = read(path)
    if raw is None:
        raise FileNotFoundError(path)
    if not raw.endswith(b"\r\n"):
        raise Torn("settings file cut short")
    sections, current = {}, None
    for line in raw[:-2].split(b"\r\n"):
        if line.startswith(b"["):
            current = sections.setdefault(
                decode_text(line[1:line.rfind(b"]")]), {})
        elif b"=" in line and current is not None:
            key, value = line.split(b"=", 1)
            current[decode_text(key)] = decode_text(value)
    t = sections.get("Torture")
    if t is None or "gen" not in t:
        raise Torn("no [Torture] gen")
    gen = int(t["gen"])
    values = [t.get("k%d" % k, "") for k in range(8)]
    if any(not v.startswith("%d:" % gen) for v in values):
        raise Torn("settings keys of two generations")
    if crc("".join(values).encode()) != t.get("sum"):
        raise Torn("settings checksum")
    p = sections.get(section)
    if p is None:
        raise Torn("no popup options section %r" % section)
    popup = int(p["closetime"])
    if not p.get("Execute", "").startswith("%d:" % popup) or \
            crc(p["Execute"].encode()) != p.get("Execlose"):
        raise Torn("popup options checksum")
    return gen, popup


def check_entry(path):
    raw = read(path)
    if raw is None:
        raise FileNotFoundError(path)
    m = re.fullmatch(rb"gen=(\d+)\n(.*)\nsum=([0-9a-f]{8})\n", raw, re.S)
    if not m or crc(m.group(2)) != m.group(3).decode():
        raise Torn("entry file")
    return int(m.group(1))


def check_bitmap(path):
    raw = read(path)
    if raw is None:
        raise FileNotFoundError(path)
    if len(raw) < 54 or raw[:2] != b"BM" or \
            struct.unpack_from("<I", raw, 2)[0] != len(raw):
        raise Torn("bitmap header")
    offset = struct.unpack_from("<I", raw, 10)[0]
    width, height = struct.unpack_from("<ii", raw, 18)
    bpp = struct.unpack_from("<H", raw, 28)[0]
    if bpp not in (24, 32):
        raise Torn("bitmap depth %d" % bpp)
    step = bpp // 8
    stride = (width * step + 3) & ~3
    rows = abs(height)
    if offset + stride * rows > len(raw):
        raise Torn("bitmap pixels cut short")
    gen = None
    for row in range(rows):
        y = rows - 1 - row if height > 0 else row
        for x in range(width):
            b, g, r = raw[offset + row * stride + x * step:][:3]
            low = r | (g << 8)
            if gen is None:
                gen = low  # the generation modulo 65536
            if low != gen or b != (x * 7 + y * 13 + gen) & 0xFF:
                raise Torn("bitmap pixels of two generations")
    return gen


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--writer", required=True)
    ap.add_argument("--kills", type=int, default=1000)
    ap.add_argument("--max-delay-ms", type=float, default=40.0)
    ap.add_argument("--seed", type=int, default=None)
    args = ap.parse_args()
    seed = args.seed if args.seed is not None else int(time.time())
    rng = random.Random(seed)

    root = tempfile.mkdtemp(prefix="mirokata-torture-")
    home = os.path.join(root, "home")
    data = os.path.join(root, DATA)
    ini = os.path.join(home, "mirokata.ini")
    bitmap = os.path.join(home, "Yov_Wallpaper.BMP")
    entry = os.path.join(data, ENTRY)
    section = data + "/" + ENTRY
    torn = missing = back = disorder = leftovers = 0
    problems = []
    try:
        # A first whole generation of everything.
        subprocess.run([args.writer, root, "1"], check=True,
                       stdout=subprocess.DEVNULL)
        last = (1, 1, 1, 1)
        for kill in range(args.kills):
            child = subprocess.Popen([args.writer, root],
                                     stdout=subprocess.PIPE)
            child.stdout.readline()  # "ready"
            time.sleep(rng.uniform(0, args.max_delay_ms) / 1000.0)
            child.send_signal(signal.SIGKILL)
            child.wait()
            child.stdout.close()
            try:
                gens = check_ini(ini, section) + (check_entry(entry),
                                                  check_bitmap(bitmap) )
            except Torn as e:
                torn += 1
                problems.append("kill %d: torn: %s" % (kill, e))
                continue
            except FileNotFoundError as e:
                missing += 1
                problems.append("kill %d: missing: %s" % (kill, e))
                continue
            if any(a < b for a, b in zip(gens, last)):
                back += 1
                problems.append("kill %d: went back %s -> %s" % (kill, last, gens))
            # Each generation writes settings, options, entry and bitmap in
            # this order (a new child goes on from the settings' generation,
            # so the later files may lag by more than one).
            ini_gen, popup_gen, entry_gen, bitmap_gen = gens
            if not ini_gen >= popup_gen >= entry_gen >= bitmap_gen:
                disorder += 1
                problems.append("kill %d: out of order %s" % (kill, gens))
            last = gens
            for folder in (home, data):
                for name in os.listdir(folder):
                    if name.startswith("."):
                        leftovers += 1
                        os.unlink(os.path.join(folder, name))
            if last[0] >= 65535:
                break  # the bitmap spells 16 bits
        generations = last[0]
    finally:
        shutil.rmtree(root, ignore_errors=True)
    for p in problems[:20]:
        print(p)
    print("kills=%d torn=%d missing=%d went_back=%d out_of_order=%d "
          "generations=%d temporary_files_left=%d seed=%d" %
          (args.kills, torn, missing, back, disorder, generations, leftovers,
           seed))
    return 1 if torn or missing or back or disorder else 0


if __name__ == "__main__":
    sys.exit(main())
