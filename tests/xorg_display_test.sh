#!/usr/bin/env bash
# The test display of tools/lib/xorg.sh: monitors placed side by side in their modes, a mode list
# without 640x480 that cannot switch to it, a refused mode reported in one line, a clean stop.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../tools/lib/xorg.sh
source "$root/tools/lib/xorg.sh"
failures=0
check() { # NAME WANTED GOT
  [ "$2" = "$3" ] && { echo "ok: $1"; return; }
  echo "FAIL: $1: wanted [$2], got [$3]"
  failures=$((failures + 1))
}
size() { xdpyinfo | sed -n 's/^ *dimensions: *\([0-9x]*\) pixels.*/\1/p'; }

xorg_start 1024x768 1280x720 800x600 || exit 1
check "three monitors" "DUMMY0 1024x768+0+0 DUMMY1 1280x720+1024+0 DUMMY2 800x600+2304+0" \
  "$(xorg_monitors)"
check "screen is their bounding box" 3104x768 "$(size)"
pid=$XORG_PID
xorg_stop
check "stopped" gone "$(kill -0 "$pid" 2>/dev/null && echo running || echo gone)"

XORG_MODES="800x600 1024x768" xorg_start 1024x768 || exit 1
check "one monitor" "DUMMY0 1024x768+0+0" "$(xorg_monitors)"
check "a mode it offers switches" 800x600 "$(xrandr --output DUMMY0 --mode 800x600 && size)"
# The modes xrandr lists for DUMMY0 (its lines "   800x600  55.00*+"), read before a refusal is
# believed: an xrandr that failed for another reason, or a listing this reader no longer
# understands, must not pass as "not offered".
offered=$(xrandr --query | sed -nE '/^DUMMY0 /,/^[^ ]/s/^ {2,}([0-9]+x[0-9]+) .*/\1/p' |
  sort | paste -sd ' ')
check "xrandr lists the modes it was given" "1024x768 800x600" "$offered"
check "640x480 is not offered" refused \
  "$(xrandr --output DUMMY0 --mode 640x480 2>/dev/null && echo switched || echo refused)"
check "the refusal leaves the mode" 800x600 "$(size)"
xorg_stop

err=$(xorg_start 1366x768 2>&1)
check "bad mode fails in one line" "1 1" "$? $(wc -l <<<"$err")"
exit $((failures > 0))
