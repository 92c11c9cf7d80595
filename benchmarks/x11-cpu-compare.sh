#!/usr/bin/env bash
# Compares the CPU that the X11 glimra spends per shown frame, client and X server, with the floor
# (glimra_x11_floor: the same window, image, events and pace, one unchanging picture) and with
# XScreenSaver's `interference` hack, all drawing into the root window of one 640x480 Xvfb. The
# programs take turns, ROUNDS times, so that a change in the machine's load falls on each alike.
# Usage: bash benchmarks/x11-cpu-compare.sh [SECONDS per turn, default 10] [paced|unpaced|both]
#        [ROUNDS, default 3]
# paced: each program at its default delay; unpaced: all with delay 0, which shows the work per
# frame without the cost of waking up for each one; both (default): one after the other.
# X11_COMPARE_ALSO="NAME=PATH ..." adds other builds of glimra (say, the code before a change) to
# the turns, with glimra's options, each also reported as a ratio to the floor;
# X11_COMPARE_HACK=0 leaves the hack out, which shortens each round.
# Installs what is missing (Debian's xscreensaver-data-extra for the hack) and builds the native
# preset first. Not part of CI.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash tools/install-deps.sh --x11-measure
cmake --preset native >/dev/null
cmake --build --preset native --target glimra-x11 glimra_x11_floor glimra_putimage_counter >/dev/null
seconds=${1:-10}
paces=${2:-both}
rounds=${3:-3}
[ "$paces" = both ] && paces="paced unpaced"
glimra=build/native/x11/glimra
floor=build/native/benchmarks/x11-measure/glimra_x11_floor
counter=$PWD/build/native/benchmarks/x11-measure/glimra_putimage_counter.so
hack=/usr/libexec/xscreensaver/interference
[ -x "$hack" ] || { echo "no $hack (package xscreensaver-data-extra)" >&2; exit 1; }
read -r -a also <<<"${X11_COMPARE_ALSO:-}"
for build in "${also[@]}"; do
  [ -x "${build#*=}" ] || { echo "no program ${build#*=} (X11_COMPARE_ALSO)" >&2; exit 1; }
done
with_hack=${X11_COMPARE_HACK:-1}

# shellcheck source=../tools/lib/xvfb.sh
source tools/lib/xvfb.sh
work=$(mktemp -d)
cleanup() {
  [ -n "${client:-}" ] && kill "$client" 2>/dev/null || true
  xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT
xvfb_start 640x480x24 || exit 1
xvfb=$XVFB_PID

# CPU time of every thread of a process, in nanoseconds (the scheduler's own accounting).
# (%.0f: some awks print %d through a 32-bit integer.)
cpu_ns() {
  cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'
}
# Frames shown so far: pixels sent over the window's 640x480 (the counter's second number).
frames() { od -An -t u8 -j 8 -N 8 "$1" 2>/dev/null | awk '{ printf "%.0f\n", int($1 / 307200) }'; }
calls() { od -An -t u8 -N 8 "$1" 2>/dev/null | awk '{ printf "%.0f\n", $1 }'; }

# Runs one program on the root window; prints "frames client_ms server_ms" for the timed part.
measure() {
  local count=$work/count-$1-$RANDOM
  shift
  GLIMRA_PUTIMAGE_COUNT=$count LD_PRELOAD=$counter "$@" >/dev/null 2>&1 &
  client=$!
  sleep 1  # start-up and tables are not part of the steady cost
  local f0 c0 s0 f1 c1 s1
  f0=$(frames "$count") c0=$(cpu_ns "$client") s0=$(cpu_ns "$xvfb")
  sleep "$seconds"
  f1=$(frames "$count") c1=$(cpu_ns "$client") s1=$(cpu_ns "$xvfb")
  kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb ended during the run of $1" >&2; exit 1; }
  kill "$client"
  wait "$client" 2>/dev/null || true
  client=
  awk -v f=$((f1 - f0)) -v c=$((c1 - c0)) -v s=$((s1 - s0)) -v n="$(calls "$count")" \
    -v a="$(frames "$count")" 'BEGIN { printf "%d %.4f %.4f %.2f\n", f, c / 1e6, s / 1e6, n / a }'
}

report() {
  local pace=$1 glimra_delay=() hack_delay=() results=$work/results-$1
  [ "$pace" = unpaced ] && glimra_delay=(--delay 0) hack_delay=(-delay 0)
  for _ in $(seq "$rounds"); do
    echo "glimra $(measure glimra "$glimra" --root "${glimra_delay[@]}")" >>"$results"
    echo "floor $(measure floor "$floor" --root "${glimra_delay[@]}")" >>"$results"
    for build in "${also[@]}"; do
      echo "${build%%=*} $(measure "${build%%=*}" "${build#*=}" --root "${glimra_delay[@]}")" \
        >>"$results"
    done
    [ "$with_hack" = 0 ] ||
      echo "interference $(measure interference "$hack" -root "${hack_delay[@]}")" >>"$results"
  done
  # Each line: program, frames, client ms, server ms, images per frame.
  awk -v pace="$pace" -v t="$seconds" -v r="$rounds" '
    { if (!($1 in f)) order[n++] = $1; f[$1] += $2; c[$1] += $3; s[$1] += $4; p[$1] = $5 }
    function cost(name) { return (c[name] + s[name]) / f[name] }
    function row(name) {
      printf "%-13s %6d frames %6.1f/s (%.1f images each)  per frame: client %.3f ms  " \
        "X server %.3f ms  total %.3f ms\n", name, f[name], f[name] / (t * r), p[name],
        c[name] / f[name], s[name] / f[name], cost(name)
    }
    END {
      printf "640x480x24 Xvfb, root window, %d rounds of %d s each, %s\n", r, t,
        pace == "unpaced" ? "delay 0" : "default delays"
      for (i = 0; i < n; ++i) row(order[i])
      for (i = 0; i < n; ++i)
        if (order[i] != "floor" && order[i] != "interference")
          printf "%s / floor CPU per frame: %.2f\n", order[i], cost(order[i]) / cost("floor")
      if ("interference" in f)
        printf "glimra / interference CPU per frame: 1/%.1f\n",
          cost("interference") / cost("glimra")
    }' "$results"
}

for pace in $paces; do report "$pace"; done
