#!/usr/bin/env bash
# /s with direct_x 0 on a 640 x 480 screen: the topmost window appears, the screenshot is one of
# the run's frames in the fixed first palette, mirrored top to bottom (the DIB is bottom-up), and
# a key ends the run with exit code 0.
E2E_NAME=gdi_picture
source "$(dirname "$0")/e2e_lib.sh"

start_xvfb 640x480x24
write_ini dx_r=5 dx_g=10 dx_b=3 one=1 pal=0 cir=1 cycle=1 direct_x=0
start_saver /s
window=$(saver_window) || true
[ -n "$window" ] || fail "no saver window appeared"
geometry=$(xdotool getwindowgeometry "$window" | tr '\n' ' ')
log "window $window: $geometry"
[[ $geometry == *"640x480"* ]] || fail "the window is not 640x480: $geometry"

# A frame is painted within a tick; a screenshot taken while a paint is half done shows no frame,
# so a few are tried.
frame=
for attempt in 1 2 3 4 5; do
  sleep 0.5
  screenshot "$WORK/shot.rgb"
  frame=$(frame_of "$WORK/shot.rgb" 2000 bottom-up)
  [ -n "$frame" ] && break
done
[ -n "$frame" ] || fail "the screenshot is none of the first 2000 frames, mirrored"
log "the screenshot is frame $frame, mirrored"
[ -z "$(frame_of "$WORK/shot.rgb" 2000 top-down)" ] || fail "the picture is not mirrored"

# The renderer makes the same frame (rows top-down): flipped, it equals the screenshot.
if [ -x "$RENDER" ]; then
  "$RENDER" --ini "$INI" --frames "$frame" --out "$WORK/render.png" ||
    fail "glimra-render failed"
  /usr/bin/convert "$WORK/render.png" -flip -depth 8 rgb:"$WORK/render.rgb"
  cmp -s "$WORK/render.rgb" "$WORK/shot.rgb" || fail "glimra-render's frame $frame differs"
  log "glimra-render's frame $frame, flipped, equals the screenshot"
else
  log "glimra-render not built: compared with the engine's frames only"
fi

xdotool key space
expect_exit_0 "$SAVER_PID" 15 "a key"
log "PASS"
