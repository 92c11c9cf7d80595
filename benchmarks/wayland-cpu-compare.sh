#!/usr/bin/env bash
# Compares the CPU that glimra-wayland and the compositor spend per shown frame at the default 20
# frames a second with the floor (glimra_wayland_floor: the same surfaces, buffers, damage, frame
# callbacks and pace, one unchanging picture), on a private headless sway (tools/lib/sway.sh) with
# the tests' two outputs, 1280x960 and 640x480, unless others are given: the saver's fullscreen
# surfaces, then the wallpaper's layer surfaces (--background, each against the floor in the same
# mode). The programs take turns, ROUNDS times, so that a change in the machine's load falls on
# each alike.
# Usage: bash benchmarks/wayland-cpu-compare.sh [SECONDS per turn, default 10] [ROUNDS, default 3]
#        [WxH[@SCALE]...]
# WAYLAND_COMPARE_ALSO="NAME=PATH ..." adds other builds of glimra-wayland to the turns (say, the
# code before a change), each also reported as a ratio to the floor. Builds the native preset's
# programs first. Not part of CI.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target glimra-wayland glimra_wayland_floor >/dev/null
seconds=${1:-10}
rounds=${2:-3}
outputs=("${@:3}")
[ ${#outputs[@]} -gt 0 ] || outputs=(1280x960 640x480)
glimra=build/native/wayland/glimra-wayland
floor=build/native/benchmarks/wayland-measure/glimra_wayland_floor
read -r -a also <<<"${WAYLAND_COMPARE_ALSO:-}"
for build in "${also[@]}"; do
  [ -x "${build#*=}" ] || { echo "no program ${build#*=} (WAYLAND_COMPARE_ALSO)" >&2; exit 1; }
done

# shellcheck source=../tools/lib/sway.sh
source tools/lib/sway.sh
work=$(mktemp -d)
cleanup() {
  [ -n "${client:-}" ] && kill "$client" 2>/dev/null || true
  sway_stop
  rm -rf "$work"
}
trap cleanup EXIT
sway_start "${outputs[@]}" || exit 1

# CPU time of every thread of a process, in nanoseconds (the scheduler's own accounting).
cpu_ns() {
  cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'
}
# The frames/s lines the program printed (--fps, one a second).
rates() { grep -c 'frames/s' "$1" || true; }

# Runs one program; prints "frames client_ms compositor_ms" for the timed part.
measure() {
  local log=$work/fps-$1-$RANDOM
  shift
  "$@" --fps 2>"$log" &
  client=$!
  sleep 1  # start-up and tables are not part of the steady cost
  local l0 c0 s0 l1 c1 s1
  l0=$(rates "$log") c0=$(cpu_ns "$client") s0=$(cpu_ns "$SWAY_PID")
  sleep "$seconds"
  l1=$(rates "$log") c1=$(cpu_ns "$client") s1=$(cpu_ns "$SWAY_PID")
  kill -0 "$SWAY_PID" 2>/dev/null || { echo "sway ended during the run of $1" >&2; exit 1; }
  kill "$client"
  wait "$client" 2>/dev/null || true
  client=
  # Frames: the mean of the rates printed during the timed part, times its length.
  awk -v l0="$l0" -v l1="$l1" -v t="$seconds" -v c=$((c1 - c0)) -v s=$((s1 - s0)) \
    '/frames\/s/ { if (++n > l0 && n <= l1) { sum += $(NF - 1); k++ } }
     END { printf "%.0f %.4f %.4f\n", k ? sum / k * t : 0, c / 1e6, s / 1e6 }' "$log"
}

results=$work/results
for _ in $(seq "$rounds"); do
  echo "glimra $(measure glimra "$glimra")" >>"$results"
  echo "floor $(measure floor "$floor")" >>"$results"
  echo "glimra-bg $(measure glimra-bg "$glimra" --background)" >>"$results"
  echo "floor-bg $(measure floor-bg "$floor" --background)" >>"$results"
  for build in "${also[@]}"; do
    echo "${build%%=*} $(measure "${build%%=*}" "${build#*=}")" >>"$results"
  done
done
# Each line: program, frames, client ms, compositor ms. A name ending in -bg is the wallpaper mode,
# compared with the floor's wallpaper.
awk -v t="$seconds" -v r="$rounds" -v outputs="${outputs[*]}" '
  { if (!($1 in f)) order[n++] = $1; f[$1] += $2; c[$1] += $3; s[$1] += $4 }
  function cost(name) { return (c[name] + s[name]) / f[name] }
  END {
    printf "headless sway, outputs %s, %d rounds of %d s each, default delay\n", outputs, r, t
    for (i = 0; i < n; ++i)
      printf "%-8s %6d frames %5.1f/s  per frame: client %.3f ms  compositor %.3f ms  " \
        "total %.3f ms\n", order[i], f[order[i]], f[order[i]] / (t * r), c[order[i]] / f[order[i]],
        s[order[i]] / f[order[i]], cost(order[i])
    for (i = 0; i < n; ++i) {
      base = order[i] ~ /-bg$/ ? "floor-bg" : "floor"
      if (order[i] != base)
        printf "%s / %s CPU per frame: %.2f\n", order[i], base, cost(order[i]) / cost(base)
    }
    for (i = 0; i < n; ++i)
      printf "%s: %.2f %% of a core (client and compositor)\n", order[i],
        (c[order[i]] + s[order[i]]) / (t * r * 1000) * 100
  }' "$results"
