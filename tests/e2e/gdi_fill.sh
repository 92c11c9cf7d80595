#!/usr/bin/env bash
# /s on monitors that cannot switch to 640 x 480 (the display offers other modes, not that one):
# the monitor keeps its mode, the saver's window keeps the screen's size, and the frame fills the
# largest centred 4:3 rectangle of it, stretched by whole pixels, with black bars beside it, and
# moves on. 1024 x 768 is filled whole; 1280 x 720 shows 960 x 720 in the middle. With direct_x 1
# DirectDraw is refused the mode too, and the run goes on the same way through GDI.
export E2E_NAME=gdi_fill # read by e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

# check_screen DIRECT_X WxH PICTURE BAR...: one run of the saver on a screen of that size.
check_screen() {
  local direct_x=$1 screen=$2 picture=$3
  shift 3
  write_ini dx_r=5 dx_g=10 dx_b=3 one=1 pal=0 cir=1 cycle=1 direct_x="$direct_x"
  XORG_MODES="800x600 1024x768 1280x720 1280x1024" start_display "$screen"
  start_saver /s
  window=$(saver_window)
  [ -n "$window" ] || fail "$screen: no saver window appeared"
  geometry=$(xdotool getwindowgeometry "$window" | tr '\n' ' ')
  [[ $geometry == *"$screen"* ]] || fail "$screen: the window is not the screen's size: $geometry"
  monitor=$(xorg_monitors)
  [ "$monitor" = "DUMMY0 $screen+0+0" ] || fail "$screen: the monitor during the run: $monitor"

  # Mirrored: the DIB is bottom-up.
  frame=$(shown_frame 2000 bottom-up 0.5 5 "$picture")
  [ -n "$frame" ] || fail "$screen: $picture is none of the first 2000 frames, stretched"
  log "$screen, direct_x=$direct_x: $picture shows frame $frame"
  local bar
  for bar in "$@"; do
    all_black "$bar" || fail "$screen: the bar $bar is not black"
  done
  cp "$WORK/shot.xwd" "$WORK/screen-$screen-$direct_x.xwd"
  later=$(shown_frame 2000 bottom-up 0.5 5 "$picture")
  ((${later:-0} > frame)) || fail "$screen: the picture does not move on (frame $frame, then '$later')"

  xdotool key space
  expect_exit_0 "$SAVER_PID" 15 "$screen: a key"
  monitor=$(wait_monitors "DUMMY0 $screen+0+0" 5) || fail "$screen: the monitor after the run: $monitor"
  stop_display  # the next screen needs a fresh Wine server
}

check_screen 0 1024x768 1024x768+0+0
check_screen 0 1280x720 960x720+160+0 160x720+0+0 160x720+1120+0
check_screen 1 1280x720 960x720+160+0 160x720+0+0 160x720+1120+0
log "PASS"
