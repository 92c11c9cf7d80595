#!/usr/bin/env bash
# Runs the Wine end-to-end tests of the win64 preset ROUNDS times in a row while BUSY processes
# (two by default) keep the CPU busy beside them, and counts the rounds in which every test passed.
# Not part of CI: it shows that the tests hold on a loaded machine. Needs the native and win64
# builds (the frame finder and the renderer come from the native one).
#
#   tools/e2e-stress.sh [--rounds 20] [--busy 2] [--tests REGEX]
#
# Each round's ctest output goes to build/e2e-stress/round-N.log; a failed round's log is kept.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=20 busy=2 tests='^(e2e_|dialog_e2e_)'
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) rounds=$2; shift 2 ;;
    --busy) busy=$2; shift 2 ;;
    --tests) tests=$2; shift 2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
for need in build/win64/glimra.scr build/native/tests/glimra-frame-finder \
  build/native/render/glimra-render; do
  [ -e "$here/$need" ] || { echo "no $need: build the native and win64 presets first" >&2; exit 2; }
done
out=$here/build/e2e-stress
mkdir -p "$out"

hogs=()
stop_hogs() {
  local pid
  for pid in "${hogs[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${hogs[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap stop_hogs EXIT
for ((i = 0; i < busy; i++)); do
  # A plain busy loop: all CPU, no memory, no I/O.
  bash -c 'while :; do :; done' &
  hogs+=($!)
done

good=0
failures=()
for ((round = 1; round <= rounds; round++)); do
  log=$out/round-$round.log
  start=$SECONDS
  if ctest --test-dir "$here/build/win64" -R "$tests" --output-on-failure >"$log" 2>&1; then
    good=$((good + 1))
    echo "round $round: all passed ($((SECONDS - start)) s)"
    rm -f "$log"
  else
    failed=$(grep -Eo '[0-9]+ - [^ ]+ \((Failed|Timeout)\)' "$log" | tr '\n' ' ')
    [ -n "$failed" ] || failed="(see the log)"
    echo "round $round: FAILED $failed($((SECONDS - start)) s; $log)"
    failures+=("round $round: $failed")
  fi
done
echo "$good of $rounds rounds passed with $busy busy processes beside them"
for f in "${failures[@]}"; do echo "  $f"; done
[ "$good" -eq "$rounds" ]
