#!/usr/bin/env bash
# Command tails: "p" without a handle ends at once with 0 and makes no window; "/c:1234" opens the
# configuration dialog (not the saver); a tail of 300 characters acts like its first two: "/s..."
# runs full screen until a key, "/c..." is the configuration.
E2E_NAME=command_tails
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

start_display
write_ini pal=1 direct_x=0

start_saver p
expect_exit_0 "$SAVER_PID" 10 "'p' without a handle"
[ -z "$(timeout 2 xdotool search --classname glimra.scr 2>/dev/null)" ] || fail "'p' made a window"
log "'p' without a handle ends at once with 0 and makes no window"

# configuration TAIL: the dialog opens (it is not the saver's window) and Escape closes it.
# A build whose resources hold no dialog template yet ends at once, without the saver's window.
configuration() {
  start_saver "$1"
  if ! grep -q '^ *IDD_CONFIG ' "$(dirname "$0")/../../resources/config_dialog.rc"; then
    expect_exit_0 "$SAVER_PID" 10 "'${1:0:10}' without a dialog template"
    log "'${1:0:10}' ends with 0 and no saver window (no dialog template in this build yet)"
    return
  fi
  local window name
  window=$(saver_window)
  [ -n "$window" ] || fail "'${1:0:10}': no dialog appeared"
  name=$(xdotool getwindowname "$window")
  [ "$name" != Glimra ] || fail "'${1:0:10}' started the saver"
  sleep 0.5
  xdotool key Escape
  expect_exit_0 "$SAVER_PID" 15 "'${1:0:10}' closed with Escape"
  log "'${1:0:10}' opens the configuration dialog; closing it ends with 0"
}
configuration /c:1234
configuration "/c$(printf 's%.0s' $(seq 298))"

long="/s$(printf 'x%.0s' $(seq 298))"
start_saver "$long"
window=$(saver_window)
[ -n "$window" ] || fail "the 300-character '/s...' tail made no window"
[ "$(xdotool getwindowname "$window")" = Glimra ] || fail "the '/s...' window is not the saver"
sleep 0.5
xdotool key space
expect_exit_0 "$SAVER_PID" 15 "a key after the 300-character '/s...' tail"
log "a 300-character '/s...' tail runs full screen and a key ends it with 0"
log "PASS"
