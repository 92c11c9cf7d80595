#!/usr/bin/env bash
# /s with direct_x 0: a left click and a right click each end the run with exit code 0; a middle
# click does not; three mouse moves to new places do not, the fourth does.
E2E_NAME=gdi_input
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

start_display
write_ini pal=1 direct_x=0

# run_until WHAT ACTION...: a fresh run; the action must end it with exit code 0.
run_until() {
  local what=$1
  shift
  xdotool mousemove 320 240
  start_saver /s
  window=$(saver_window)
  [ -n "$window" ] || fail "$what: no saver window appeared"
  sleep 0.5
  step "$what"
  "$@"
  expect_exit_0 "$SAVER_PID" 15 "$what"
  log "$what ends the run with exit code 0"
}

run_until "a left click" xdotool click 1
run_until "a right click" xdotool click 3

middle_then_key() {
  xdotool click 2
  sleep 1
  still_running "$SAVER_PID" || fail "a middle click ended the run"
  log "a middle click does not end the run"
  xdotool key Escape
}
run_until "a key after a middle click" middle_then_key

four_moves() {
  local x
  for x in 100 200 300; do
    xdotool mousemove "$x" 120
    sleep 0.4
  done
  still_running "$SAVER_PID" || fail "three mouse moves ended the run"
  log "three mouse moves to new places do not end the run"
  xdotool mousemove 400 120
}
run_until "the fourth mouse move" four_moves
log "PASS"
