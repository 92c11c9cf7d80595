#!/usr/bin/env bash
# Starts an installed 32-bit glimra.scr with /s under 32-bit Wine (in the caller's WINEPREFIX) on
# a private Xvfb, presses a key once its window is up, and expects exit code 0.
#   run_installed_saver.sh GLIMRA.SCR WORK_FOLDER (for the X server's log)
set -euo pipefail
scr=${1:?usage: run_installed_saver.sh GLIMRA.SCR WORK_FOLDER}
work=${2:?usage: run_installed_saver.sh GLIMRA.SCR WORK_FOLDER}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=tools/lib/xvfb.sh
source "$root/tools/lib/xvfb.sh"
XVFB_LOG=$work/xvfb.log xvfb_start 640x480x24
trap 'wineserver -k 2>/dev/null || true; xvfb_stop' EXIT

# A wineserver started without a display (by msiexec) would keep the saver's window off this one.
wineserver -k 2>/dev/null || true
timeout 30 wineserver -w || true
wine "$scr" /s >/dev/null 2>&1 &
saver=$!
window=$(x_find_window 60 --classname glimra.scr)
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
