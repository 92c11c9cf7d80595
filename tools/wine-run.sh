#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix (made on first use, under a lock so
# that tests started in parallel share one prefix). GLIMRA_WINEPREFIX overrides the location.
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${GLIMRA_WINEPREFIX:-$here/build/win32/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/.glimra-ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.glimra-ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w || true
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
      touch "$WINEPREFIX/.glimra-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
