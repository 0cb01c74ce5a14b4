#!/usr/bin/env bash
# Takes the main window's screenshots for the README: one per mode, under a
# private X server with a window manager and a tray host.
# Usage: docs/make_screenshots.sh [path/to/mirokata]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build-release/bin/mirokata}
display=:58
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb $display -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X${display#:} ]] && break; sleep 0.1; done
export DISPLAY=$display
# The lock of a running copy must not stop these runs.
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
openbox >/dev/null 2>&1 &
pids+=($!)
trayer --edge top --align left --widthtype pixel --width 80 --height 24 \
  >/dev/null 2>&1 &
pids+=($!)
sleep 1

shoot() {  # name height
  local home=$work/$1
  mkdir -p "$home/Schedule"
  printf '[Horiday]\r\nSet=1\r\n[Qclock]\r\nVer=Version 2.62\r\n[Calendar]\r\nDirectory=%s\r\n[Form]\r\nHeight=%s\r\ntop=40\r\nleft=40\r\ntop_cal=40\r\nleft_cal=40\r\ntop_mini=40\r\nleft_mini=40\r\nTray_icon=2\r\n' \
    "$home/Schedule" "$2" >"$home/mirokata.ini"
  "$program" --home "$home" >/dev/null 2>&1 &
  local pid=$!
  xdotool search --sync --name '^Mirokata$' >/dev/null
  sleep 1.5
  import -window root -crop "${3}+20+20" +repage "$root/docs/$1.png"
  kill $pid
  wait $pid 2>/dev/null || true
}
shoot calendar-mode 190 280x230
shoot toolbar-mode 72 280x112
shoot mini-mode 19 280x59
echo "written: docs/calendar-mode.png docs/toolbar-mode.png docs/mini-mode.png"
