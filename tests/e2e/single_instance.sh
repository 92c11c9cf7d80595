#!/usr/bin/env bash
# While one saver runs, a second start in every mode (full screen, preview, configuration with and
# without a tail) ends at once with exit code 0 and does not read the settings file; the first run
# goes on. Reading the file shows in Wine's profile trace, which the first run proves.
E2E_NAME=single_instance
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

start_display
write_ini pal=1 direct_x=0
WINEDEBUG=+profile "$WINE64" "$SCR" /s >"$WORK/first.out" 2>"$WORK/first.trace" &
first=$!
SAVER_PID=$first
window=$(saver_window)
[ -n "$window" ] || fail "no saver window appeared"
grep -qi 'tovalesk' "$WORK/first.trace" || fail "the profile trace does not show the first run reading the file"

n=0
for tail in /s "/p 1234" /c ""; do
  n=$((n + 1))
  WINEDEBUG=+profile "$WINE64" "$SCR" $tail >"$WORK/second$n.out" 2>"$WORK/second$n.trace" &
  second=$!
  expect_exit_0 "$second" 10 "a second start with '$tail'"
  ! grep -qi 'tovalesk' "$WORK/second$n.trace" || fail "a second start with '$tail' read the settings file"
  still_running "$first" || fail "the first run ended at the second start with '$tail'"
  log "a second start with '$tail' ends at once with 0 without reading the settings"
done

xdotool key space
expect_exit_0 "$first" 15 "a key"
log "PASS"
