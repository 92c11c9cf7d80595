#!/usr/bin/env bash
# /s with direct_x 1 keeps the display's pace under Wine, whose flips return at once: the frames
# shown by two screenshots some seconds apart give a rate within 10 % of the mode's refresh rate,
# and a key still ends the run at once (the window is gone within a second, the exit code is 0).
# Wine draws DirectDraw here with its "gdi" renderer, its fastest: unpaced it runs thousands of
# frames a second.
E2E_NAME=ddraw_pace
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

start_display
"$WINE64" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /d gdi /f >/dev/null 2>&1
wineserver -w
write_ini dx_r=5 dx_g=10 dx_b=3 one=1 pal=0 cir=1 cycle=1 direct_x=1

start_saver /s
window=$(saver_window)
[ -n "$window" ] || fail "no saver window appeared"
monitor=$(wait_monitors "DUMMY0 640x480+0+0" 5) || fail "the monitor during the run: $monitor"
refresh=$(xorg_refresh_rate) || fail "no refresh rate for the mode DirectDraw set"

# timed_frame: "FRAME TIME" of a screenshot that shows one of the first 20000 frames.
timed_frame() {
  local frame
  frame=$(shown_frame 20000 top-down 0.05 40)
  [ -n "$frame" ] || fail "no screenshot showed one of the first 20000 frames"
  echo "$frame $(cat "$WORK/shot.time")"
}
read -r frame1 time1 < <(timed_frame)
sleep 4
read -r frame2 time2 < <(timed_frame)
rate=$(awk -v a="$frame1" -v b="$frame2" -v s="$time1" -v t="$time2" 'BEGIN { printf "%.1f", (b - a) / (t - s) }')
log "frames $frame1 -> $frame2 in $(awk -v s="$time1" -v t="$time2" 'BEGIN { printf "%.2f", t - s }') s: $rate frames/s at a refresh rate of $refresh Hz"
awk -v r="$rate" -v hz="$refresh" 'BEGIN { exit !(r >= 0.9 * hz && r <= 1.1 * hz) }' ||
  fail "$rate frames/s is not within 10 % of the mode's $refresh Hz"

step "a key during the paced run"
pressed=$(date +%s.%N)
xdotool key space
while xdotool getwindowname "$window" >/dev/null 2>&1 &&
  xwininfo -id "$window" 2>/dev/null | grep -q IsViewable; do
  awk -v s="$pressed" -v t="$(date +%s.%N)" 'BEGIN { exit !(t - s < 1) }' ||
    fail "the saver's window was still shown a second after the key"
  sleep 0.02
done
log "the window was gone $(awk -v s="$pressed" -v t="$(date +%s.%N)" 'BEGIN { printf "%.2f", t - s }') s after the key"
expect_exit_0 "$SAVER_PID" 15 "a key"
log "PASS"
