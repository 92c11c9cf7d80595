#!/usr/bin/env bash
# Frame rate and CPU of the saver's full-screen modes under wine64 on the test display (one
# 1024 x 768 monitor that really switches to 640 x 480, tools/lib/xorg.sh): the
# DirectDraw mode with Wine's "gdi" renderer and with its default renderer, against the GDI mode
# (20 frames a second by its timer) measured in the same run. The frame rate comes from two
# screenshots SECONDS apart, each matched to its frame number by glimra-frame-finder; the CPU is
# that of the saver, wineserver and the X server over the same time, per second of wall time, each
# and together. DirectDraw's rate is also given as a ratio to the refresh rate of the mode it set,
# and each mode's CPU per frame as a ratio to the GDI mode's.
#
#   benchmarks/measure-ddraw.sh [SECONDS]      (default 10; needs the native and win64 builds)
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-10}
scr=$here/build/win64/glimra.scr
finder=$here/build/native/tests/glimra-frame-finder
[ -f "$scr" ] && [ -x "$finder" ] || { echo "build the native and win64 presets first" >&2; exit 2; }
# shellcheck source=../tools/lib/xorg.sh
source "$here/tools/lib/xorg.sh"
# shellcheck source=../tools/lib/wine-prefix.sh
source "$here/tools/lib/wine-prefix.sh"
wine_select "$scr"
wine_prefix_ensure "$here/build/win64/measure-prefix" || exit 1
ini=$WINEPREFIX/drive_c/windows/Tovalesk.ini
work=$(mktemp -d)
cleanup() {
  wineserver -k 2>/dev/null
  xorg_stop
  rm -rf "$work"
}
trap cleanup EXIT
XORG_DIR=$work xorg_start 1024x768 || exit 1
ticksPerSecond=$(getconf CLK_TCK)
Ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
Now() { date +%s.%N; }
Shot() { xwd -root -silent | /usr/bin/convert xwd:- -depth 8 rgb:"$1"; }
# The wineserver of our prefix (other work on the machine may run its own).
OurWineserver() {
  local dir
  for dir in /proc/[0-9]*; do
    readlink "$dir/exe" 2>/dev/null | grep -q wineserver || continue
    tr '\0' '\n' <"$dir/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
      echo "${dir#/proc/}" && return
  done
  echo 0
}

# measure NAME RENDERER DIRECT_X: prints the frame rate and the CPU of one run.
measure() {
  local name=$1 renderer=$2
  if [ "$renderer" = default ]; then
    "$WINE" reg delete 'HKCU\Software\Wine\Direct3D' /v renderer /f >/dev/null 2>&1
  else
    "$WINE" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /d "$renderer" /f >/dev/null 2>&1
  fi
  wineserver -k; wineserver -w
  printf '[Glimra ScreenSaver]\r\npal=0\r\ndirect_x=%s\r\n' "$3" >"$ini"
  "$WINE" "$scr" /s >/dev/null 2>&1 &
  local saver=$!
  x_find_window 20 --pid "$saver" --classname glimra.scr >/dev/null
  sleep 2
  local server t1 t2 s1 s2 w1 w2 x1 x2 refresh
  server=$(OurWineserver)
  refresh=$(xorg_refresh_rate) || exit 1
  t1=$(Now); Shot "$work/a.rgb"
  s1=$(Ticks "$saver"); w1=$(Ticks "$server"); x1=$(Ticks "$XORG_PID")
  sleep "$seconds"
  t2=$(Now); Shot "$work/b.rgb"
  s2=$(Ticks "$saver"); w2=$(Ticks "$server"); x2=$(Ticks "$XORG_PID")
  xdotool key space
  for _ in $(seq 150); do kill -0 "$saver" 2>/dev/null || break; sleep 0.1; done
  kill "$saver" 2>/dev/null
  wait "$saver" 2>/dev/null
  local orientation=top-down
  [ "$3" = 0 ] && orientation=bottom-up
  local k1 k2
  k1=$("$finder" "$ini" "$work/a.rgb" 200000 "$orientation")
  k2=$("$finder" "$ini" "$work/b.rgb" 200000 "$orientation")
  awk -v n="$name" -v k1="$k1" -v k2="$k2" -v t1="$t1" -v t2="$t2" -v s="$((s2 - s1))" \
    -v w="$((w2 - w1))" -v x="$((x2 - x1))" -v hz="$ticksPerSecond" -v refresh="$refresh" \
    -v base="$baseline" 'BEGIN {
      if (k1 == "" || k2 == "" || k2 <= k1) {
        printf "%-28s no frame rate: a screenshot matched no frame (%s, %s)\n", n, k1, k2
        exit 1
      }
      fps = (k2 - k1) / (t2 - t1); pct = 100 * (s + w + x) / hz / (t2 - t1)
      printf "%-28s %7.1f fps (%.3f of the %s Hz mode)  CPU %5.1f%% of a core (saver %.1f, wineserver %.1f, X %.1f)", n, fps, fps / refresh, refresh, pct, 100 * s / hz / (t2 - t1), 100 * w / hz / (t2 - t1), 100 * x / hz / (t2 - t1)
      perFrame = pct * 10 / fps
      if (base == "") printf "  %.2f ms CPU a frame\n", perFrame
      else printf "  %.2f ms CPU a frame (%.2f x the GDI mode)\n", perFrame, perFrame / base
      print perFrame > "/dev/stderr" }' 2>"$work/per-frame"
}

echo "load: $(cut -d' ' -f1-3 /proc/loadavg); ${seconds}s each"
baseline=
measure "GDI /s (baseline)" gdi 0
baseline=$(cat "$work/per-frame")
measure "DirectDraw, renderer=gdi" gdi 1
measure "DirectDraw, default renderer" default 1
# Wine's command-stream thread spins a while for more work after each frame; without it the
# default renderer draws on the saver's own thread.
"$WINE" reg add 'HKCU\Software\Wine\Direct3D' /v csmt /t REG_DWORD /d 0 /f >/dev/null 2>&1
measure "DirectDraw, default, csmt=0" default 1
"$WINE" reg delete 'HKCU\Software\Wine\Direct3D' /f >/dev/null 2>&1 || true
