#!/usr/bin/env bash
# /s with direct_x 0 on a 1024 x 768 monitor: the display really switches to 640 x 480, the topmost
# window appears, the screenshot is one of the run's frames in the fixed first palette, mirrored
# top to bottom (the DIB is bottom-up), a key ends the run with exit code 0, and the monitor is
# back at 1024 x 768 afterwards.
E2E_NAME=gdi_picture
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

start_display
write_ini dx_r=5 dx_g=10 dx_b=3 one=1 pal=0 cir=1 cycle=1 direct_x=0
start_saver /s
window=$(saver_window)
[ -n "$window" ] || fail "no saver window appeared"
geometry=$(xdotool getwindowgeometry "$window" | tr '\n' ' ')
log "window $window: $geometry"
[[ $geometry == *"640x480"* ]] || fail "the window is not 640x480: $geometry"
during=$(wait_monitors "DUMMY0 640x480+0+0" 5) || fail "the monitor during the run: $during"
log "the monitor switched to 640x480"

# A frame is painted within a tick.
frame=$(shown_frame 2000 bottom-up 0.5 5)
[ -n "$frame" ] || fail "the screenshot is none of the first 2000 frames, mirrored"
log "the screenshot is frame $frame, mirrored"
[ -z "$(frame_of "$WORK/shot.rgb" 2000 top-down)" ] || fail "the picture is not mirrored"

# The renderer makes the same frame (rows top-down): flipped, it equals the screenshot.
render_matches "$frame" -flip || fail "glimra-render's frame $frame differs"

xdotool key space
expect_exit_0 "$SAVER_PID" 15 "a key"
after=$(wait_monitors "DUMMY0 1024x768+0+0" 5) || fail "the monitor after the run: $after"
log "the monitor is back at 1024x768"
log "PASS"
