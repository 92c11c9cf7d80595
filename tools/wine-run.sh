#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of the build folder, made on first use under a lock
# so that tests started in parallel share it. 64-bit programs run under wine64 in a 64-bit prefix,
# 32-bit ones under wine. GLIMRA_WINEPREFIX overrides the prefix.
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=${1:?usage: wine-run.sh PROGRAM [ARGS...]}
if file -b "$program" 2>/dev/null | grep -q 'x86-64'; then
  wine=/usr/lib/wine/wine64
  export WINEARCH=win64
  default_prefix=$here/build/win64/wineprefix
else
  wine=wine
  export WINEARCH=win32
  default_prefix=$here/build/win32/wineprefix
fi
export WINEPREFIX=${GLIMRA_WINEPREFIX:-$default_prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/.glimra-ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.glimra-ready" ]; then
      "$wine" wineboot -i >/dev/null 2>&1 || true
      wineserver -w || true
      "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
      wineserver -w || true
      touch "$WINEPREFIX/.glimra-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$wine" "$@"
