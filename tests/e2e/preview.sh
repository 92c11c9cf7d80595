#!/usr/bin/env bash
# /p <hwnd> inside a host program's window: the saver's child window takes the host's client size,
# input does not end it, and destroying the host window ends it with exit code 0.
E2E_NAME=preview
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

start_display
write_ini pal=1 direct_x=0
"$WINE64" "$HOST_EXE" preview 152 112 'Z:'"$WORK/host.txt" >"$WORK/host.out" 2>&1 &
host=$!
file_has "$WORK/host.txt" '^host=[0-9]+ ' 30 || fail "the host window did not appear"
hwnd=$(sed -E 's/^host=([0-9]+) .*/\1/' "$WORK/host.txt")
log "host window $hwnd"

start_saver /p "$hwnd"
file_has "$WORK/host.txt" 'child=152 112' 20 || fail "no 152x112 child: $(cat "$WORK/host.txt")"
log "the saver's child window has the host's client size, 152x112"

host_window=$(find_window 10 --classname glimra-e2e-host.exe)
[ -n "$host_window" ] || fail "the host's X window was not found"
step "input to the host's window during the preview"
xdotool mousemove --window "$host_window" 60 60 click 1 click 3 key space
for x in 10 30 50 70 90; do xdotool mousemove --window "$host_window" "$x" 80; done
sleep 1
still_running "$SAVER_PID" || fail "input ended the preview"
log "keys, clicks and mouse moves do not end the preview"

touch "$WORK/host.txt.quit"
expect_exit_0 "$SAVER_PID" 15 "the host destroying its window"
wait_exit "$host" 10
log "PASS"
