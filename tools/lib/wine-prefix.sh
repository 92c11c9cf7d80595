# shellcheck shell=bash
# Wine for scripts and tests, sourced (not run): which Wine runs a program, and a prefix made once
# under a lock (so that runs started in parallel share it) and set up for runs without a window
# manager.
#   wine_select PROGRAM       sets WINE (wine64 for an x86-64 program, else wine), exports WINEARCH
#   wine_prefix_ensure PREFIX  exports WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES; makes the prefix on
#                              first use (12-20 s). Call wine_select first (win64 when not).
#   wine_can_run_32bit        whether this kernel runs 32-bit programs (and so 32-bit Wine)
#   wine_prefix_pids PATTERN  the processes whose command line matches PATTERN (pgrep -f) and that
#                             run in this WINEPREFIX (other runs on the machine have their own)
#   wine_server_hold SECONDS  starts this prefix's Wine server, kept SECONDS after its last program
#                             ends, unless one runs already

WINE=/usr/lib/wine/wine64
export WINEARCH=win64

wine_select() {
  if file -b "$1" 2>/dev/null | grep -q 'x86-64'; then
    WINE=/usr/lib/wine/wine64
    export WINEARCH=win64
  else
    WINE=wine
    export WINEARCH=win32
  fi
}

wine_can_run_32bit() { /lib/ld-linux.so.2 --help >/dev/null 2>&1; }

wine_prefix_pids() {
  local p
  for p in $(pgrep -f "$1" || true); do
    tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$p"
  done
  return 0
}

# Debian's wineserver ends the moment its last program does, so programs run one after another
# (ctest's) would each start a server and its system processes (about 2.7 s), and could start while
# the previous server is shutting down. One server kept a little longer serves them all. Its system
# processes start with the first program and keep that program's output open, so a program of our
# own with no output starts them (under the prefix's lock: the others wait for it); else whoever
# reads the first test's output would wait for the server's end.
wine_server_hold() {
  local seconds=${1:?usage: wine_server_hold SECONDS}
  (
    flock 9
    # (Neither keeps the lock's descriptor: the lock would last as long as the server.)
    wineserver -p"$seconds" 2>/dev/null 9>&- || exit 0 # one runs already
    "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
  ) 9>"$WINEPREFIX.lock"
}

wine_prefix_ensure() {
  export WINEPREFIX=${1:?usage: wine_prefix_ensure PREFIX}
  export WINEDEBUG=${WINEDEBUG:--all}
  # No prompts to install Mono or Gecko.
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  [ -f "$WINEPREFIX/.glimra-ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    [ -f "$WINEPREFIX/.glimra-ready" ] && exit 0
    echo "making the Wine prefix $WINEPREFIX (once, about 20 s)" >&2
    # Made without a display, so that nothing of the prefix stays tied to a display that closes.
    unset DISPLAY
    timeout 120 "$WINE" wineboot -i >/dev/null 2>&1 || true
    timeout 60 wineserver -w || true
    # Without a window manager each DestroyWindow of a top-level window would wait 2 s.
    timeout 60 "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
      { echo "could not set up the Wine prefix $WINEPREFIX" >&2; exit 1; }
    timeout 60 wineserver -w || true
    touch "$WINEPREFIX/.glimra-ready"
  ) 9>"$WINEPREFIX.lock"
}
