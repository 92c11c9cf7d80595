#!/usr/bin/env bash
# Whole-program CPU cost of the saver's GDI modes under Wine, against the floor program
# (gdi_floor.exe: the same presentation of one unchanging frame). Runs each for SECONDS under
# wine64 on the test display (one 1024 x 768 monitor, tools/lib/xorg.sh), alternating, ROUNDS
# times, and prints the CPU each used per second of wall time: the program, wineserver, the X
# server and Wine's other processes, their total, and
# the ratio of the totals. Uses the win64 build (this kernel cannot run 32-bit Wine).
#
#   benchmarks/measure-cpu.sh [--mode s|p|both|monitors] [--seconds 20] [--rounds 2]
#                        [--palette-floor] [--loop-floor]
#
# --mode monitors runs glimra.scr /s on Xorg's dummy display (a 1024x768 primary and a 1280x720
# monitor right of it) with the second monitor switched off and on by turns, and prints what the
# second monitor's cover costs per painted pixel against what the primary costs per pixel.
# --palette-floor adds the floor that also hands its unchanged colour table over on every tick, as
# the saver does while its palette moves; --loop-floor the floor that also waits for messages the
# way the saver's loop does. Together they tell where the saver's cost above the floor goes.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=both seconds=20 rounds=2 paletteFloor=0 loopFloor=0
while [ $# -gt 0 ]; do
  case $1 in
    --mode) mode=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    --palette-floor) paletteFloor=1; shift ;;
    --loop-floor) loopFloor=1; shift ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done

build=$here/build/win64
floor=$build/benchmarks/gdi_floor/gdi_floor.exe
saver=${GLIMRA_MEASURE_SAVER:-$(find "$build" -name glimra.scr -type f 2>/dev/null | head -n 1)}
[ -x "$floor" ] || { echo "no $floor: cmake --build --preset win64 first" >&2; exit 1; }
[ -n "$saver" ] || { echo "no glimra.scr under $build: build the win64 preset first" >&2; exit 1; }

# shellcheck source=../tools/lib/xorg.sh
source "$here/tools/lib/xorg.sh"
# shellcheck source=../tools/lib/wine-prefix.sh
source "$here/tools/lib/wine-prefix.sh"
export GLIMRA_WINEPREFIX=$build/measure-prefix
wine_select "$saver"
wine_prefix_ensure "$GLIMRA_WINEPREFIX"
warmup=4
ticksPerSecond=$(getconf CLK_TCK)

# Our own display, one 1024x768 monitor (the saver and the floor both switch it to 640x480 for
# each run), or for the monitors a second one beside it.
work=$(mktemp -d)
cleanup() {
  wineserver -k 2>/dev/null || true
  xorg_stop
  rm -rf "$work"
}
trap cleanup EXIT
if [ "$mode" = monitors ]; then
  XORG_DIR=$work xorg_start 1024x768 1280x720
else
  XORG_DIR=$work xorg_start 1024x768
fi
xserver=$XORG_PID

# The saver's settings for the runs: the defaults, GDI for /s.
printf '[Glimra ScreenSaver]\r\ndx_r=5\r\ndx_g=10\r\ndx_b=3\r\none=1\r\npal=1\r\ncir=1\r\ncycle=1\r\ndirect_x=0\r\n' \
  >"$WINEPREFIX/drive_c/windows/Tovalesk.ini"
wineserver -k 2>/dev/null || true

# CPU ticks (user + system) of one process, 0 when it is gone.
Ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }

# The Wine processes of our prefix (the programs, wineserver, Wine's services); the prefix tells
# them from the Wine processes of other work on the machine.
PrefixProcesses() {
  local dir
  for dir in /proc/[0-9]*; do
    readlink "$dir/exe" 2>/dev/null | grep -q wine || continue
    (tr "\0" "\n" <"$dir/environ") 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "${dir#/proc/}"
  done
}

# Runs one program for the measured time; prints: program wineserver xserver others (CPU s per s).
MeasureRun() {
  local host="" parentArgs=() pid
  if [ "$1" = preview ]; then
    shift
    : >"$work/host"
    "$here/tools/wine-run.sh" "$floor" /host 320 240 >"$work/host" 2>/dev/null &
    host=$!
    for _ in $(seq 100); do [ -s "$work/host" ] && break; sleep 0.2; done
    parentArgs=(/p "$(head -n 1 "$work/host" | tr -d '\r')")
  else
    parentArgs=(/s)
  fi
  "$here/tools/wine-run.sh" "$1" "${parentArgs[@]}" "${@:2}" >/dev/null 2>&1 &
  pid=$!
  sleep "$warmup"
  local server others=() before=() after=() p
  server=$(for p in $(PrefixProcesses); do
    readlink "/proc/$p/exe" | grep -q wineserver && echo "$p"
  done | head -n 1)
  for p in $(PrefixProcesses); do [ "$p" != "$pid" ] && [ "$p" != "$server" ] && others+=("$p"); done
  local t0 t1
  t0=$(date +%s.%N)
  before=("$(Ticks "$pid")" "$(Ticks "${server:-0}")" "$(Ticks "$xserver")")
  local othersBefore=0 othersAfter=0
  for p in "${others[@]}"; do othersBefore=$((othersBefore + $(Ticks "$p"))); done
  sleep "$seconds"
  after=("$(Ticks "$pid")" "$(Ticks "${server:-0}")" "$(Ticks "$xserver")")
  for p in "${others[@]}"; do othersAfter=$((othersAfter + $(Ticks "$p"))); done
  t1=$(date +%s.%N)
  kill "$pid" 2>/dev/null || true
  [ -n "$host" ] && kill "$host" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ -n "$host" ] && wait "$host" 2>/dev/null || true
  awk -v t="$ticksPerSecond" -v s="$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')" \
    -v a="$((after[0] - before[0]))" -v b="$((after[1] - before[1]))" \
    -v c="$((after[2] - before[2]))" -v d="$((othersAfter - othersBefore))" \
    'BEGIN { printf "%.4f %.4f %.4f %.4f\n", a/t/s, b/t/s, c/t/s, d/t/s }'
}

declare -A total count
Report() {  # name program server xserver others
  local sum
  sum=$(awk -v a="$2" -v b="$3" -v c="$4" -v d="$5" 'BEGIN { printf "%.4f", a + b + c + d }')
  printf "%-22s %8.2f%% %10.2f%% %7.2f%% %7.2f%% %8.2f%%\n" "$1" \
    "$(awk -v x="$2" 'BEGIN{print x*100}')" "$(awk -v x="$3" 'BEGIN{print x*100}')" \
    "$(awk -v x="$4" 'BEGIN{print x*100}')" "$(awk -v x="$5" 'BEGIN{print x*100}')" \
    "$(awk -v x="$sum" 'BEGIN{print x*100}')"
  total[$1]=$(awk -v a="${total[$1]:-0}" -v b="$sum" 'BEGIN { print a + b }')
  count[$1]=$((${count[$1]:-0} + 1))
}

MeasureMode() {  # s or p
  local kind=$1 prefix=()
  [ "$kind" = p ] && prefix=(preview)
  local programs=("floor /$kind" "glimra.scr /$kind")
  [ "$paletteFloor" = 1 ] && programs+=("floor+palette /$kind")
  [ "$loopFloor" = 1 ] && programs+=("floor+loop /$kind")
  echo
  echo "== /$kind: $rounds rounds of ${seconds}s each, alternating; CPU per second of wall time"
  printf "%-22s %9s %11s %8s %8s %9s\n" program program wineserver Xorg "other" total
  for round in $(seq "$rounds"); do
    local order=("${programs[@]}")
    # Every other round starts with the saver, so that neither always runs first.
    if [ $((round % 2)) -eq 0 ]; then order=("${programs[1]}" "${programs[0]}" "${programs[@]:2}"); fi
    local name program extra figures
    for name in "${order[@]}"; do
      extra=()
      case $name in
        "floor /$kind") program=$floor ;;
        "floor+palette /$kind") program=$floor extra=(--palette) ;;
        "floor+loop /$kind") program=$floor extra=(--saver-loop) ;;
        *) program=$saver ;;
      esac
      read -ra figures <<<"$(MeasureRun "${prefix[@]}" "$program" "${extra[@]}")"
      Report "$name" "${figures[@]}"
    done
  done
  local name mean floorMean
  floorMean=$(awk -v a="${total["floor /$kind"]}" -v n="${count["floor /$kind"]}" 'BEGIN { print a / n }')
  for name in "${programs[@]}"; do
    mean=$(awk -v a="${total[$name]}" -v n="${count[$name]}" 'BEGIN { print a / n }')
    awk -v m="$mean" -v f="$floorMean" -v name="$name" \
      'BEGIN { printf "mean total %-18s %6.2f%% of a core, %.2f x the floor\n", name, m * 100, m / f }'
  done
}

# The second monitor switched off, or back on right of the primary.
SecondMonitor() {
  if [ "$1" = off ]; then
    xrandr --output DUMMY1 --off
  else
    xrandr --output DUMMY1 --mode 1280x720 --right-of DUMMY0
  fi
}

# Pixels painted a frame: the primary's 640 x 480, and the cover's 4:3 picture on 1280 x 720
# (960 x 720; its bars are filled, not copied).
MeasureMonitors() {
  local round name figures
  local -a names=("one monitor" "two monitors")
  echo
  echo "== /s on 1024x768 + 1280x720: $rounds rounds of ${seconds}s each, the second monitor off and on by turns"
  printf "%-22s %9s %11s %8s %8s %9s\n" program program wineserver Xorg "other" total
  for round in $(seq "$rounds"); do
    local order=("${names[@]}")
    [ $((round % 2)) -eq 0 ] && order=("${names[1]}" "${names[0]}")
    for name in "${order[@]}"; do
      if [ "$name" = "one monitor" ]; then SecondMonitor off; else SecondMonitor on; fi
      read -ra figures <<<"$(MeasureRun "$saver")"
      Report "$name" "${figures[@]}"
    done
  done
  SecondMonitor on
  awk -v a="${total["one monitor"]}" -v b="${total["two monitors"]}" -v n="$rounds" 'BEGIN {
    one = a / n; two = b / n; primary = 640 * 480; second = 960 * 720
    printf "mean total one monitor  %6.2f%% of a core, %d pixels a frame\n", one * 100, primary
    printf "mean total two monitors %6.2f%% of a core, %d pixels a frame\n", two * 100, primary + second
    perPrimary = one / primary * 1e6; perSecond = (two - one) / second * 1e6
    printf "per million pixels a frame: primary %.2f%%, second monitor %.2f%% (%.2f x the primary)\n",
      perPrimary * 100, perSecond * 100, perSecond / perPrimary
  }'
}

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) CPUs, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "saver: $saver"
case $mode in
  s) MeasureMode s ;;
  p) MeasureMode p ;;
  monitors) MeasureMonitors ;;
  *) MeasureMode s; MeasureMode p ;;
esac
