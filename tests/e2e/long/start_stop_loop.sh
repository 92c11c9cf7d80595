#!/usr/bin/env bash
# LONG TEST, not run by CI or test-all.sh: starts the saver full screen (/s) under wine64 and ends
# it with a key press, CYCLES times (1,000 by default), and shows that nothing grows over the run:
# the X server's memory and client count, wineserver's memory and open files, leftover processes,
# and the settings file. About 4 s a cycle, so the default run takes a little over an hour.
#
#   tests/e2e/long/start_stop_loop.sh [--cycles N] [--direct-x 0|1] [--scr PATH]
#
# Exit 0 when every cycle ended by itself with code 0 and nothing grew beyond the slack below;
# the samples go to build/e2e-long/samples.txt.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
cycles=1000
direct_x=0
scr=$here/build/win64/glimra.scr
while [ $# -gt 0 ]; do
  case $1 in
  --cycles) cycles=$2; shift 2 ;;
  --direct-x) direct_x=$2; shift 2 ;;
  --scr) scr=$2; shift 2 ;;
  *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
[ -f "$scr" ] || { echo "no program at $scr (build the win64 preset first)" >&2; exit 2; }

out=$here/build/e2e-long
mkdir -p "$out"
# shellcheck source=../../../tools/lib/xorg.sh
source "$here/tools/lib/xorg.sh"
# shellcheck source=../../../tools/lib/wine-prefix.sh
source "$here/tools/lib/wine-prefix.sh"
export GLIMRA_WINEPREFIX=$out/wineprefix
samples=$out/samples.txt
: >"$samples"

# The prefix (made once), then a private X server with one 1024 x 768 monitor, which both
# full-screen back-ends switch to 640 x 480 and back in every cycle.
wine_select "$scr"
wine_prefix_ensure "$GLIMRA_WINEPREFIX" || exit 1
cleanup() {
  wineserver -k >/dev/null 2>&1
  xorg_stop
}
trap cleanup EXIT
XORG_DIR=$out/display xorg_start 1024x768 || exit 1
xserver=$XORG_PID
display=$DISPLAY

# A wineserver that stays up between cycles so that its growth shows, and the settings file the
# saver reads.
wineserver -p
mkdir -p "$WINEPREFIX/drive_c/windows"
ini=$WINEPREFIX/drive_c/windows/Tovalesk.ini
printf '[Glimra ScreenSaver]\r\ndx_r=5\r\ndx_g=10\r\ndx_b=3\r\none=1\r\npal=1\r\ncir=0\r\ncycle=7\r\ndirect_x=%s\r\n' \
  "$direct_x" >"$ini"
ini_sum=$(md5sum <"$ini")

rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status" 2>/dev/null || echo 0; }
sample() {
  local server clients fds
  server=$(wine_prefix_pids wineserver | head -n 1)
  server=${server:-0}
  clients=$(xlsclients -display "$display" 2>/dev/null | wc -l)
  fds=$(ls "/proc/$server/fd" 2>/dev/null | wc -l)
  echo "$1 x_rss_kb=$(rss_kb "$xserver") x_clients=$clients wineserver_rss_kb=$(rss_kb "$server") wineserver_fds=$fds" >>"$samples"
}
value() { sed -nE "s/.* $2=([0-9]+).*/\1/p" <<<"$1"; }

failures=0
in_a_row=0
for ((i = 1; i <= cycles; i++)); do
  bash "$here/tools/wine-run.sh" "$scr" /s >/dev/null 2>&1 &
  saver=$!
  if [ -z "$(x_find_window 60 --pid "$saver" --classname glimra.scr)" ]; then
    echo "cycle $i: no saver window within 60 s" >&2
    failures=$((failures + 1))
  fi
  sleep 0.5
  xdotool key space
  code=124
  for ((t = 0; t < 300; t++)); do # up to 30 s for the saver to end by itself
    if ! kill -0 "$saver" 2>/dev/null; then
      wait "$saver"
      code=$?
      break
    fi
    sleep 0.1
  done
  if [ "$code" -ne 0 ]; then
    echo "cycle $i ($(date -u +%T)): saver ended with $code" >&2
    kill "$saver" 2>/dev/null
    wait "$saver" 2>/dev/null
    failures=$((failures + 1))
    in_a_row=$((in_a_row + 1))
    # Something outside the saver broke (the X server, Wine's desktop process): stop, don't spin.
    [ "$in_a_row" -lt 5 ] || { echo "5 failed cycles in a row: stopping" >&2; break; }
  else
    in_a_row=0
  fi
  if [ $((i % 50)) -eq 0 ] || [ "$i" -eq 10 ] || [ "$i" -eq "$cycles" ]; then sample "$i"; fi
done

# Growth from the 10th cycle (the caches are warm by then) to the last sample.
first=$(head -n 1 "$samples")
last=$(tail -n 1 "$samples")
grow() { echo $(($(value "$last" "$1") - $(value "$first" "$1"))); }
echo "after $cycles cycles: X server memory +$(grow x_rss_kb) kB, X clients $(grow x_clients)," \
  "wineserver memory +$(grow wineserver_rss_kb) kB, wineserver files $(grow wineserver_fds)"
[ "$(md5sum <"$ini")" = "$ini_sum" ] || { echo "the settings file changed" >&2; failures=$((failures + 1)); }
for p in $(wine_prefix_pids 'glimra\.scr'); do
  echo "saver process $p left over" >&2
  failures=$((failures + 1))
done
# Slack: allocator noise of a few MB is no leak; one leaked DC or bitmap per cycle would be.
[ "$(grow x_rss_kb)" -le 4096 ] || failures=$((failures + 1))
[ "$(grow wineserver_rss_kb)" -le 4096 ] || failures=$((failures + 1))
[ "$(grow x_clients)" -le 0 ] || failures=$((failures + 1))
[ "$(grow wineserver_fds)" -le 2 ] || failures=$((failures + 1))
echo "$failures failure(s); samples in $samples"
[ "$failures" -eq 0 ]
