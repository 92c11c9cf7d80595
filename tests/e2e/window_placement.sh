#!/usr/bin/env bash
# On a 1024 x 768 monitor: another program's window at a known rectangle is moved by the display
# switch to 640 x 480 (the host program moves itself into the smaller screen, as a system does),
# and is back at its rectangle after the run, with the monitor back at 1024 x 768.
E2E_NAME=window_placement
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

start_display

write_ini pal=1 direct_x=0
"$WINE64" "$HOST_EXE" place 500 300 900 600 'Z:'"$WORK/rect.txt" >"$WORK/host.out" 2>&1 &
host=$!
file_has "$WORK/rect.txt" '^500 300 900 600$' 30 || fail "the host window is not at 500 300 900 600"
log "the other window is at 500 300 900 600"

start_saver /s
file_has "$WORK/rect.txt" '^0 0 200 150$' 20 || fail "the display switch did not move it: $(cat "$WORK/rect.txt")"
log "during the run it was moved to 0 0 200 150"
during=$(wait_monitors "DUMMY0 640x480+0+0" 5) || fail "the monitor during the run: $during"
sleep 1
xdotool mousemove 320 240 click 1
expect_exit_0 "$SAVER_PID" 15 "a click"

file_has "$WORK/rect.txt" '^500 300 900 600$' 10 || fail "not back at its rectangle: $(cat "$WORK/rect.txt")"
log "after the run it is back at 500 300 900 600"
after=$(wait_monitors "DUMMY0 1024x768+0+0" 5) || fail "the monitor after the run: $after"
touch "$WORK/rect.txt.quit"
wait_exit "$host" 10
log "PASS"
