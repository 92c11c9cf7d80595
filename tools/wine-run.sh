#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of the build folder, made on first use (ctest's
# emulator for the Windows presets). 64-bit programs run under wine64 in a 64-bit prefix, 32-bit
# ones under wine. GLIMRA_WINEPREFIX overrides the prefix.
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=${1:?usage: wine-run.sh PROGRAM [ARGS...]}
# shellcheck source=lib/wine-prefix.sh
source "$here/tools/lib/wine-prefix.sh"
wine_select "$program"
wine_prefix_ensure "${GLIMRA_WINEPREFIX:-$here/build/$WINEARCH/wineprefix}"
wine_server_hold 30
exec "$WINE" "$@"
