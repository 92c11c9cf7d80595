# Common parts of the Wine end-to-end tests of glimra.scr, sourced by each test script: a private
# Xvfb, a Wine prefix under the build folder (made once, shared by the tests, which ctest runs one
# at a time), the settings file, the saver's process, screenshots, and waits that always end.
# The caller sets E2E_NAME; the environment gives GLIMRA_WIN_BUILD (build/win64) and
# GLIMRA_NATIVE_BUILD (build/native, for the frame finder and the renderer).
set -euo pipefail

WINE64=/usr/lib/wine/wine64
SCR=$GLIMRA_WIN_BUILD/glimra.scr
HOST_EXE=$GLIMRA_WIN_BUILD/tests/glimra-e2e-host.exe
FINDER=$GLIMRA_NATIVE_BUILD/tests/glimra-frame-finder
RENDER=$GLIMRA_NATIVE_BUILD/tools/render/glimra-render
WORK=$GLIMRA_WIN_BUILD/e2e/$E2E_NAME
export WINEPREFIX=$GLIMRA_WIN_BUILD/e2e/prefix
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
INI=$WINEPREFIX/drive_c/windows/Tovalesk.ini
XVFB_PID=
rm -rf "$WORK" && mkdir -p "$WORK"

log() { echo "[$E2E_NAME] $*" >&2; }
fail() {
  log "FAIL: $*"
  exit 1
}

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  timeout 10 wineserver -w >/dev/null 2>&1 || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

# The prefix is made once; a second test finds it ready.
ensure_prefix() {
  [ -f "$WINEPREFIX/.glimra-e2e-ready" ] && return
  mkdir -p "$WINEPREFIX"
  log "making the Wine prefix (once, about 20 s)"
  (unset DISPLAY; timeout 120 "$WINE64" wineboot -i >/dev/null 2>&1 || true
    timeout 60 wineserver -w || true
    # Without a window manager each DestroyWindow of a top-level window would wait 2 s.
    timeout 60 "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    timeout 60 wineserver -w || true)
  touch "$WINEPREFIX/.glimra-e2e-ready"
}

# start_xvfb WxHxD: a private X server; it picks a free display number itself.
start_xvfb() {
  Xvfb -displayfd 9 -screen 0 "$1" -nolisten tcp 9>"$WORK/display" 2>"$WORK/xvfb.log" &
  XVFB_PID=$!
  local deadline=$((SECONDS + 15))
  while ((SECONDS < deadline)); do
    if [ -s "$WORK/display" ]; then
      export DISPLAY=":$(head -n 1 "$WORK/display")"
      xdpyinfo >/dev/null 2>&1 && return 0
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.2
  done
  fail "no Xvfb could be started"
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

# start_saver ARGS...: runs glimra.scr in the background; SAVER_PID is its process.
start_saver() {
  "$WINE64" "$SCR" "$@" >"$WORK/saver.out" 2>&1 &
  SAVER_PID=$!
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
  wait_exit "$1" "$2"
  [ "$EXIT_CODE" = 0 ] || fail "$3: exit '$EXIT_CODE' (expected 0 within $2 s)"
}

# still_running PID: the process has not ended.
still_running() { kill -0 "$1" 2>/dev/null; }

# saver_window: the X window of the saver's full-screen popup (waits up to 20 s).
saver_window() {
  timeout 20 xdotool search --sync --onlyvisible --classname glimra.scr 2>/dev/null | head -n 1
}

# screenshot FILE.rgb: the whole 640 x 480 screen as raw RGB bytes.
screenshot() {
  xwd -root -silent | /usr/bin/convert xwd:- -depth 8 rgb:"$1"
}

# frame_of SHOT.rgb MAX ORIENTATION: the number of the frame the screenshot shows, or nothing.
frame_of() {
  [ -x "$FINDER" ] || fail "$FINDER is missing: build the native preset first"
  timeout 120 "$FINDER" "$INI" "$1" "$2" "$3" || true
}

# shown_frame LIMIT ORDER PAUSE: screenshots the display up to five times, PAUSE seconds apart,
# and prints the number of the frame (within the first LIMIT, rows in ORDER) that one of them
# shows; prints nothing when none does. A shot taken while a frame is half drawn shows no frame,
# hence the retries. The last shot stays in $WORK/shot.rgb.
shown_frame() {
  local frame= attempt
  for attempt in 1 2 3 4 5; do
    sleep "$3"
    screenshot "$WORK/shot.rgb"
    frame=$(frame_of "$WORK/shot.rgb" "$1" "$2")
    [ -n "$frame" ] && break
  done
  echo "$frame"
}

# render_matches FRAME [-flip]: whether glimra-render's frame FRAME for $INI (flipped when asked)
# equals $WORK/shot.rgb. True without a check when the renderer is not built.
render_matches() {
  [ -x "$RENDER" ] || return 0
  "$RENDER" --ini "$INI" --frames "$1" --out "$WORK/render.png" || fail "glimra-render failed"
  /usr/bin/convert "$WORK/render.png" ${2:-} -depth 8 rgb:"$WORK/render.rgb"
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
