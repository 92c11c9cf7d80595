#!/usr/bin/env bash
# /s on two monitors (a 1024 x 768 primary and a 1280 x 720 monitor right of it), GDI and
# DirectDraw: the primary switches to 640 x 480 and shows the frame, the second monitor shows the
# same frame fitted into 960 x 720 with black bars (the GDI modes at most a tick behind the
# primary, DirectDraw the last composed frame) and no pixel of the desktop; a left click ends the
# run with 0, and so does the fourth mouse move on the second monitor, never the third; both
# monitors are back afterwards. Mid-run the second monitor is given a new mode (1920 x 1080) and
# then moved below the primary: its cover follows it each time, fitted, with black bars; switched
# off, it loses its cover, and switched on again, it gets a new one.
E2E_NAME=monitors
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

start_display 1024x768 1280x720
"$WINE64" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /d gdi /f >/dev/null 2>&1
wineserver -w

before="DUMMY0 1024x768+0+0 DUMMY1 1280x720+1024+0"
[ "$(xorg_monitors)" = "$before" ] || fail "the display starts as: $(xorg_monitors)"

# crop AREA FILE.rgb: a part of the last screenshot, sampled back to 640 x 480.
crop() {
  /usr/bin/convert "$WORK/shot.xwd" -crop "$1" +repage -sample '640x480!' -depth 8 rgb:"$2"
}

# both_frames LIMIT ORDER SAME TRIES: the frames the primary and the second monitor show
# ("PRIMARY SECOND"), from up to TRIES screenshots; with SAME (1), both from one shot and at most a
# tick apart. A shot taken mid-paint shows no frame; Wine's unpaced DirectDraw flips leave most
# shots of the primary torn; and Wine hands each window's paints to the X server on its own, so
# under load one shot can catch one monitor a tick or two later than the other: hence the tries.
# The matched pictures stay in $WORK/primary.rgb and second.rgb.
both_frames() {
  local primary='' second='' p s try
  for ((try = 0; try < $4; try++)); do
    sleep 0.2
    xwd -root -silent >"$WORK/shot.xwd"
    [ -n "$primary" ] || crop 640x480+0+0 "$WORK/primary.rgb"
    [ -n "$second" ] || crop 960x720+800+0 "$WORK/second.rgb"
    p=${primary:-$(frame_of "$WORK/primary.rgb" "$1" "$2")}
    s=${second:-$(frame_of "$WORK/second.rgb" "$1" "$2")}
    if [ "$3" = 1 ] && { [ -z "$p" ] || [ -z "$s" ] || ((p - s > 1 || s - p > 1)); }; then
      continue
    fi
    primary=$p second=$s
    [ -n "$primary" ] && [ -n "$second" ] && { echo "$primary $second"; return; }
  done
}

# cover_fitted WHAT PICTURE BAR BAR LIMIT ORDER FLIP TRIES: the second monitor shows a frame (one
# of the first LIMIT, rows in ORDER, flipped with -flip) fitted into PICTURE, in one of up to TRIES
# screenshots, with both bars beside or above and below it black (all areas as WxH+X+Y).
cover_fitted() {
  local frame
  frame=$(shown_frame "$5" "$6" 0.2 "$8" "$2")
  [ -n "$frame" ] || fail "$1: the second monitor shows no frame in $2"
  render_matches "$frame" ${7:+"$7"} || fail "$1: the second monitor's frame $frame differs"
  all_black "$3" && all_black "$4" || fail "$1: the second monitor's bars are not black"
  log "$1: the second monitor shows frame $frame in $2"
}

# matches FRAME FILE.rgb [-flip]: the renderer's frame equals the picture.
matches() {
  cp "$2" "$WORK/shot.rgb"
  render_matches "$1" ${3:+"$3"}
}

check_run() {
  local direct_x=$1 order=$2 flip=$3 limit=$4 same=$5 tries=$6 primary second
  write_ini dx_r=5 dx_g=10 dx_b=3 one=1 pal=0 cir=1 cycle=1 direct_x="$direct_x"
  xdotool mousemove 300 200
  start_saver /s
  [ -n "$(saver_window)" ] || fail "direct_x=$direct_x: no saver window appeared"
  step "direct_x=$direct_x: the monitors during the run"
  local during
  # DirectDraw sets its mode after its window appears.
  during=$(wait_monitors "DUMMY0 640x480+0+0 DUMMY1 1280x720+640+0" 5) ||
    fail "direct_x=$direct_x: the display during the run: $during"
  read -r primary second <<<"$(both_frames "$limit" "$order" "$same" "$tries")"
  [ -n "$second" ] || fail "direct_x=$direct_x: the two monitors do not both show a frame (the GDI modes: within a tick)"
  log "direct_x=$direct_x: the primary shows frame $primary, the second monitor frame $second"
  matches "$primary" "$WORK/primary.rgb" $flip || fail "the primary's frame $primary differs"
  matches "$second" "$WORK/second.rgb" $flip || fail "the second monitor's frame $second differs"
  all_black 160x720+640+0 && all_black 160x720+1760+0 || fail "the second monitor's bars are not black"
  # The GDI modes paint both monitors at each tick (both_frames took them at most a tick apart).
  # DirectDraw's cover shows the last frame composed by its tick, which may be ahead of what the
  # display shows of the flips (Wine shows them late).
}

switched="DUMMY0 640x480+0+0 DUMMY1 1280x720+640+0"
xrandr --addmode DUMMY1 1920x1080
for direct_x in 0 1; do
  # The frame check's LIMIT ORDER FLIP TRIES for a cover on its own.
  if [ "$direct_x" = 0 ]; then
    check_run 0 bottom-up -flip 2000 1 10
    check=(2000 bottom-up -flip 10)
  else
    check_run 1 top-down "" 60000 0 40
    check=(60000 top-down "" 40)
  fi
  step "direct_x=$direct_x: a left click on the second monitor"
  xdotool mousemove 1500 300 && sleep 0.3 && xdotool click 1
  expect_exit_0 "$SAVER_PID" 15 "direct_x=$direct_x: a left click on the second monitor"
  after=$(wait_monitors "$before" 15) || fail "direct_x=$direct_x: the display after the run: $after"
  log "direct_x=$direct_x: a click on the second monitor ends the run with 0; the monitors are back"

  # The cursor starts on the second monitor, outside the 640 x 480 primary: DirectDraw's switch
  # confines it to the primary, which is no move of the user's.
  xdotool mousemove 1500 300
  start_saver /s
  [ -n "$(saver_window)" ] || fail "direct_x=$direct_x: no saver window appeared"
  wait_monitors "$switched" 5 >/dev/null || fail "direct_x=$direct_x: the display never switched"
  sleep 0.5
  step "direct_x=$direct_x: three mouse moves on the second monitor"
  for x in 1000 1100 1200; do
    xdotool mousemove "$x" 400
    sleep 0.4
  done
  sleep 1
  still_running "$SAVER_PID" || fail "direct_x=$direct_x: three mouse moves ended the run"
  step "direct_x=$direct_x: the fourth mouse move on the second monitor"
  xdotool mousemove 1300 400
  expect_exit_0 "$SAVER_PID" 15 "direct_x=$direct_x: four mouse moves on the second monitor"
  log "direct_x=$direct_x: three mouse moves on the second monitor leave the run going, the fourth ends it with 0"
  wait_monitors "$before" 15 >/dev/null || fail "direct_x=$direct_x: the display after the moves"

  xdotool mousemove 300 200
  start_saver /s
  [ -n "$(saver_window)" ] || fail "direct_x=$direct_x: no saver window appeared"
  wait_monitors "$switched" 5 >/dev/null || fail "direct_x=$direct_x: the display never switched"
  # Wine tells the program nothing of these changes: the cover follows at its check of the monitor
  # list, within a second.
  step "direct_x=$direct_x: the second monitor given 1920 x 1080 mid-run"
  xrandr --output DUMMY1 --mode 1920x1080
  now=$(wait_monitors "DUMMY0 640x480+0+0 DUMMY1 1920x1080+640+0" 5) ||
    fail "direct_x=$direct_x: the display after the new mode: $now"
  sleep 1.5
  cover_fitted "direct_x=$direct_x, 1920 x 1080" 1440x1080+880+0 240x1080+640+0 240x1080+2320+0 \
    "${check[@]}"
  step "direct_x=$direct_x: the second monitor moved below the primary mid-run"
  xrandr --output DUMMY1 --below DUMMY0
  now=$(wait_monitors "DUMMY0 640x480+0+0 DUMMY1 1920x1080+0+480" 5) ||
    fail "direct_x=$direct_x: the display after the move: $now"
  sleep 1.5
  cover_fitted "direct_x=$direct_x, below the primary" 1440x1080+240+480 240x1080+0+480 \
    240x1080+1680+480 "${check[@]}"
  # Switched off, the monitor loses its cover; switched on again (an output Wine knew at the
  # start: one plugged in mid-run it never sees), it gets a new one.
  step "direct_x=$direct_x: the second monitor switched off mid-run"
  xrandr --output DUMMY1 --off
  now=$(wait_monitors "DUMMY0 640x480+0+0" 5) || fail "direct_x=$direct_x: the display: $now"
  sleep 1.5
  still_running "$SAVER_PID" || fail "direct_x=$direct_x: a monitor switched off ended the run"
  step "direct_x=$direct_x: the second monitor switched on again mid-run"
  xrandr --output DUMMY1 --mode 1280x720 --right-of DUMMY0
  now=$(wait_monitors "$switched" 5) || fail "direct_x=$direct_x: the display: $now"
  sleep 1.5
  cover_fitted "direct_x=$direct_x, on again" 960x720+800+0 160x720+640+0 160x720+1760+0 \
    "${check[@]}"
  xdotool key space
  expect_exit_0 "$SAVER_PID" 15 "direct_x=$direct_x: a key after the monitor changes"
  after=$(wait_monitors "$before" 15) || fail "direct_x=$direct_x: the display after the run: $after"
done
log "PASS"
