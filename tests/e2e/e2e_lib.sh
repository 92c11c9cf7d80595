# shellcheck shell=bash
# Common parts of the Wine end-to-end tests of glimra.scr, sourced by each test script: a private
# X server whose modes really switch (Xorg's dummy driver), a Wine prefix under the build folder
# (made once, shared by the tests, which ctest runs one at a time), the settings file, the saver's
# process, screenshots, and waits that always end.
# On any failure the test prints the step it was in, the saver's state, the windows and the focus,
# and keeps a screenshot.
# The caller sets E2E_NAME; the environment gives GLIMRA_WIN_BUILD (build/win64) and
# GLIMRA_NATIVE_BUILD (build/native, for the frame finder and the renderer).
# shellcheck disable=SC2034  # the names below are for the test scripts
set -eEuo pipefail

E2E_TOOLS=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tools" && pwd)
# shellcheck source=../../tools/lib/xorg.sh
source "$E2E_TOOLS/lib/xorg.sh"
# shellcheck source=../../tools/lib/wine-prefix.sh
source "$E2E_TOOLS/lib/wine-prefix.sh"

WINE64=/usr/lib/wine/wine64
SCR=$GLIMRA_WIN_BUILD/glimra.scr
HOST_EXE=$GLIMRA_WIN_BUILD/tests/glimra-e2e-host.exe
FINDER=$GLIMRA_NATIVE_BUILD/tests/glimra-frame-finder
RENDER=$GLIMRA_NATIVE_BUILD/render/glimra-render
WORK=$GLIMRA_WIN_BUILD/e2e/$E2E_NAME
E2E_PREFIX=$GLIMRA_WIN_BUILD/e2e/prefix
INI=$E2E_PREFIX/drive_c/windows/Tovalesk.ini
SAVER_PID=
EXIT_CODE=
E2E_STEP="setting up"
E2E_ERROR=
E2E_AT_EXIT=  # a command of the test's own to run at the end, after the report
rm -rf "$WORK" && mkdir -p "$WORK"

log() { echo "[$E2E_NAME] $*" >&2; }
# step TEXT: what the test does now; a failure report names it.
step() { E2E_STEP=$*; }
fail() {
  log "FAIL: $*"
  exit 1
}
# A command that fails outside a check ends the test (set -e); this names it in the report.
trap 'E2E_ERROR="line $LINENO: $BASH_COMMAND"' ERR

# report: what a failing test knows, printed before the display and Wine are taken down.
report() {
  log "failed during: $E2E_STEP"
  [ -z "$E2E_ERROR" ] || log "the command that failed: $E2E_ERROR"
  if [ -z "$SAVER_PID" ]; then
    log "saver: not started"
  elif kill -0 "$SAVER_PID" 2>/dev/null; then
    log "saver: still running (process $SAVER_PID)"
  else
    [ -n "$EXIT_CODE" ] && [ "$EXIT_CODE" != timeout ] || wait_exit "$SAVER_PID" 0
    log "saver: ended with exit code $EXIT_CODE"
  fi
  [ -s "$WORK/saver.out" ] && sed 's/^/  saver output: /' "$WORK/saver.out" | tail -n 10 >&2
  [ -n "${DISPLAY:-}" ] || return 0
  x_describe "$WORK/failure.png" >&2
}

# stop_display: ends this prefix's Wine server, which keeps the display it started with, then the
# X server.
stop_display() {
  wineserver -k >/dev/null 2>&1 || true
  timeout 10 wineserver -w >/dev/null 2>&1 || true
  xorg_stop
}

cleanup() {
  local status=$?
  trap - ERR
  [ "$status" = 0 ] || report || true
  [ -z "$E2E_AT_EXIT" ] || $E2E_AT_EXIT || true
  stop_display
}
trap cleanup EXIT

# The prefix is made once; a second test finds it ready.
ensure_prefix() {
  wine_prefix_ensure "$E2E_PREFIX" || fail "the Wine prefix could not be made"
}

# start_display [MODE...]: a private X server (it picks a free display number itself) with one
# monitor per MODE side by side, by default one of 1024x768; XORG_MODES may narrow the modes it
# offers. Its config and log stay in $WORK.
start_display() {
  XORG_DIR=$WORK xorg_start "${@:-1024x768}" || fail "no X server could be started"
}

# wait_monitors WANTED SECONDS: waits until the monitors are WANTED, as xorg_monitors prints them
# (DirectDraw sets its mode after its window appears; a restore may land after the saver ends),
# and prints them as they were last; 1 when they never were.
wait_monitors() {
  local deadline=$((SECONDS + $2)) now
  while now=$(xorg_monitors 2>/dev/null || true); [ "$now" != "$1" ]; do
    ((SECONDS < deadline)) || { echo "$now"; return 1; }
    sleep 0.1
  done
  echo "$now"
}

# write_ini KEY=VALUE...: the settings file, with the saver's section and CRLF lines.
write_ini() {
  mkdir -p "$(dirname "$INI")"
  {
    printf '[Glimra ScreenSaver]\r\n'
    local kv
    for kv in "$@"; do printf '%s\r\n' "$kv"; done
  } >"$INI"
}

# saver_processes: the glimra.scr processes of this prefix.
saver_processes() { wine_prefix_pids 'glimra\.scr'; }

# start_saver ARGS...: runs glimra.scr in the background; SAVER_PID is its process. A saver of
# the run before that is still going would hold the single-instance mutex and make this start end
# at once, so it must be gone first.
start_saver() {
  local deadline=$((SECONDS + 10))
  step "waiting for the savers of earlier runs to end"
  while [ -n "$(saver_processes)" ]; do
    ((SECONDS < deadline)) || fail "a saver of an earlier run is still running: $(saver_processes)"
    sleep 0.1
  done
  "$WINE64" "$SCR" "$@" >"$WORK/saver.out" 2>&1 &
  SAVER_PID=$!
  EXIT_CODE=
  local tail="$*"
  step "the saver started with '${tail:0:40}' (process $SAVER_PID)"
}

# wait_exit PID SECONDS: waits for the process (a child of this shell) to end; EXIT_CODE is then
# its exit code, or "timeout".
wait_exit() {
  local pid=$1 deadline=$((SECONDS + $2))
  EXIT_CODE=timeout
  while kill -0 "$pid" 2>/dev/null; do
    ((SECONDS < deadline)) || return 0
    sleep 0.1
  done
  EXIT_CODE=0
  wait "$pid" || EXIT_CODE=$?
}

# expect_exit_0 PID SECONDS WHAT: the process ends within the time with exit code 0.
expect_exit_0() {
  step "waiting for the end after $3"
  wait_exit "$1" "$2"
  [ "$EXIT_CODE" = 0 ] || fail "$3: exit '$EXIT_CODE' (expected 0 within $2 s)"
}

# still_running PID: the process has not ended.
still_running() { kill -0 "$1" 2>/dev/null; }

# find_window SECONDS SEARCH...: the first visible window that matches every xdotool search
# condition, waiting up to SECONDS; nothing when none appears.
find_window() { x_find_window "$@"; }

# saver_window: the window of this run's saver (not one of a run before), once it has the
# keyboard focus: keys sent before then would be lost. Waits up to 20 s.
saver_window() {
  local deadline=$((SECONDS + 20)) window
  step "waiting for the window of the saver (process $SAVER_PID)"
  window=$(find_window 20 --pid "$SAVER_PID" --classname glimra.scr)
  [ -n "$window" ] || return 0
  step "waiting for the saver's window $window to have the focus"
  while [ "$(xdotool getwindowfocus 2>/dev/null)" != "$window" ] && ((SECONDS < deadline)); do
    sleep 0.1
  done
  step "the saver's window $window is shown"
  echo "$window"
}

# screenshot FILE.rgb [PICTURE]: the whole 640 x 480 screen as raw RGB bytes; with PICTURE
# (WxH+X+Y), that part of a larger screen sampled back to 640 x 480 at the middle of each frame
# pixel's stretched block. The whole screen stays in $WORK/shot.xwd, the time it was taken in
# $WORK/shot.time.
screenshot() {
  local fit=()
  [ -z "${2:-}" ] || fit=(-crop "$2" +repage -sample '640x480!')
  date +%s.%N >"$WORK/shot.time"
  xwd -root -silent >"$WORK/shot.xwd"
  /usr/bin/convert "$WORK/shot.xwd" "${fit[@]}" -depth 8 rgb:"$1"
}

# all_black AREA: whether the last screenshot is black all over AREA (WxH+X+Y).
all_black() {
  [ "$(/usr/bin/convert "$WORK/shot.xwd" -crop "$1" +repage -format '%[fx:maxima]' info:)" = 0 ]
}

# frame_of SHOT.rgb MAX ORIENTATION: the number of the frame the screenshot shows, or nothing.
frame_of() {
  [ -x "$FINDER" ] || fail "$FINDER is missing: build the native preset first"
  timeout 120 "$FINDER" "$INI" "$1" "$2" "$3" || true
}

# shown_frame LIMIT ORDER PAUSE TRIES [PICTURE]: screenshots the display up to TRIES times, PAUSE
# seconds apart, and prints the number of the frame (within the first LIMIT, rows in ORDER) that
# one of them shows (in PICTURE, as `screenshot` takes it, where given); prints nothing when none
# does. A shot taken while a frame is half drawn shows no frame, hence the retries: Wine's
# unpaced DirectDraw flips on Xorg show most shots torn. The last shot stays in $WORK/shot.rgb.
shown_frame() {
  local frame='' try
  step "matching screenshots to the first $1 frames ($2)"
  for ((try = 0; try < $4; try++)); do
    sleep "$3"
    screenshot "$WORK/shot.rgb" "${5:-}"
    frame=$(frame_of "$WORK/shot.rgb" "$1" "$2")
    [ -n "$frame" ] && break
  done
  echo "$frame"
}

# render_matches FRAME [-flip]: whether glimra-render's frame FRAME for $INI (flipped when asked)
# equals $WORK/shot.rgb. A missing renderer is a failure, not a match.
render_matches() {
  [ -x "$RENDER" ] || fail "$RENDER is missing: build the native preset first"
  step "comparing the screenshot with glimra-render's frame $1"
  "$RENDER" --ini "$INI" --frames "$1" --out "$WORK/render.png" || fail "glimra-render failed"
  /usr/bin/convert "$WORK/render.png" ${2:+"$2"} -depth 8 rgb:"$WORK/render.rgb"
  cmp -s "$WORK/render.rgb" "$WORK/shot.rgb"
}

# file_has FILE PATTERN SECONDS: waits until the file holds a line matching the pattern (the
# Windows programs write CRLF lines).
file_has() {
  local deadline=$((SECONDS + $3))
  while ((SECONDS < deadline)); do
    [ -f "$1" ] && tr -d '\r' <"$1" | grep -Eq "$2" && return 0
    sleep 0.2
  done
  return 1
}

ensure_prefix
