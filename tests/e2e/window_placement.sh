#!/usr/bin/env bash
# Inside a 1024 x 768 Wine virtual desktop: another program's window at a known rectangle is moved
# by the display switch to 640 x 480 (the host program moves itself into the smaller screen, as a
# system does), and is back at its rectangle after the run, with the desktop back at 1024 x 768.
E2E_NAME=window_placement
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

# Every program of this prefix runs in the virtual desktop while the test runs.
desktop_off() {
  "$WINE64" reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
  wineserver -w || true
}
E2E_AT_EXIT=desktop_off

start_xvfb 1280x1024x24
"$WINE64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
"$WINE64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wineserver -w

write_ini pal=1 direct_x=0
"$WINE64" "$HOST_EXE" place 500 300 900 600 'Z:'"$WORK/rect.txt" >"$WORK/host.out" 2>&1 &
host=$!
file_has "$WORK/rect.txt" '^500 300 900 600$' 30 || fail "the host window is not at 500 300 900 600"
log "the other window is at 500 300 900 600"

start_saver /s
file_has "$WORK/rect.txt" '^0 0 200 150$' 20 || fail "the display switch did not move it: $(cat "$WORK/rect.txt")"
log "during the run it was moved to 0 0 200 150"
desktop=$(find_window 10 --classname explorer.exe)
[ -n "$desktop" ] || fail "the virtual desktop's window was not found"
geometry=$(xdotool getwindowgeometry "$desktop" | tr '\n' ' ')
[[ $geometry == *"640x480"* ]] || fail "the desktop is not 640x480 during the run: $geometry"
sleep 1
# Keys reach the desktop's window only with the focus, which nothing gives it here; a click does.
xdotool mousemove --window "$desktop" 320 240 click 1
expect_exit_0 "$SAVER_PID" 15 "a click"

file_has "$WORK/rect.txt" '^500 300 900 600$' 10 || fail "not back at its rectangle: $(cat "$WORK/rect.txt")"
log "after the run it is back at 500 300 900 600"
geometry=$(xdotool getwindowgeometry "$desktop" | tr '\n' ' ')
[[ $geometry == *"1024x768"* ]] || fail "the desktop is not back at 1024x768: $geometry"
touch "$WORK/rect.txt.quit"
wait_exit "$host" 10
log "PASS"
