#!/usr/bin/env bash
# /s with direct_x 1, and with 2 (any non-zero value chooses DirectDraw), on a 1024 x 768 monitor:
# the display really switches to 640 x 480 x 8, the screenshot is one of the run's frames in the
# fixed first palette with row 0 at the top (not mirrored), a key ends the run with exit code 0,
# and the display mode is back afterwards.
# Wine draws DirectDraw here with its "gdi" renderer (HKCU\Software\Wine\Direct3D, renderer).
E2E_NAME=ddraw_picture
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

start_display
"$WINE64" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /d gdi /f >/dev/null 2>&1
wineserver -w

display_mode() {
  rm -f "$WORK/mode.txt"
  "$WINE64" "$HOST_EXE" display 'Z:'"$WORK/mode.txt" >/dev/null 2>&1 || true
  tr -d '\r' <"$WORK/mode.txt"
}
mode_before=$(display_mode)
log "display mode before: $mode_before"

for direct_x in 1 2; do
  write_ini dx_r=5 dx_g=10 dx_b=3 one=1 pal=0 cir=1 cycle=1 direct_x=$direct_x
  start_saver /s
  window=$(saver_window)
  [ -n "$window" ] || fail "direct_x=$direct_x: no saver window appeared"
  # The mode is set after the window appears. Wine keeps the 8 bits per pixel to the program that
  # set them: another program sees 32.
  monitor=$(wait_monitors "DUMMY0 640x480+0+0" 5) ||
    fail "direct_x=$direct_x: the monitor during the run: $monitor"
  mode_during="$(display_mode), $monitor"
  [[ $mode_during == "640 480 "* ]] || fail "direct_x=$direct_x: during the run: $mode_during"
  frame=$(shown_frame 60000 top-down 0.2 40)
  [ -n "$frame" ] || fail "direct_x=$direct_x: the screenshot is none of the first 60000 frames"
  log "direct_x=$direct_x: $mode_during during the run; the screenshot is frame $frame, row 0 at the top"
  render_matches "$frame" || fail "direct_x=$direct_x: glimra-render's frame $frame differs"
  xdotool key space
  expect_exit_0 "$SAVER_PID" 15 "direct_x=$direct_x: a key"
  mode_after=$(display_mode)
  [ "$mode_after" = "$mode_before" ] || fail "display mode after the run: $mode_after"
  log "direct_x=$direct_x: a key ends the run with 0; the display mode is back ($mode_after)"
done
log "PASS"
