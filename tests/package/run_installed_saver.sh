#!/usr/bin/env bash
# Starts an installed 32-bit glimra.scr with /s under 32-bit Wine (in the caller's WINEPREFIX) on
# a private Xvfb, presses a key once its window is up, and expects exit code 0.
#   run_installed_saver.sh GLIMRA.SCR WORK_FOLDER
set -euo pipefail
scr=${1:?usage: run_installed_saver.sh GLIMRA.SCR WORK_FOLDER}
work=${2:?usage: run_installed_saver.sh GLIMRA.SCR WORK_FOLDER}
Xvfb -displayfd 9 -screen 0 640x480x24 -nolisten tcp 9>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.2; done
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY

# A wineserver started without a display (by msiexec) would keep the saver's window off this one.
wineserver -k 2>/dev/null || true
timeout 30 wineserver -w || true
wine "$scr" /s >/dev/null 2>&1 &
saver=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --classname glimra.scr 2>/dev/null |
  head -n 1 || true)
if [ -z "$window" ] || [ "$(xdotool getwindowname "$window")" != Glimra ]; then
  echo "the saver's window did not appear" >&2
  kill "$saver" 2>/dev/null || true
  exit 1
fi
sleep 1
xdotool key space
for _ in $(seq 60); do
  kill -0 "$saver" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$saver" 2>/dev/null; then
  echo "the saver did not end on a key" >&2
  kill "$saver" 2>/dev/null || true
  exit 1
fi
wait "$saver"
