#!/usr/bin/env bash
# Installs what is missing, builds glimra.scr and runs it under Wine.
# With a display: full screen inside a 640 x 480 Wine virtual-desktop window, so that your own
# screen mode is never changed; a key, a click or moving the mouse ends it.
# Without a display: on a private 1024 x 768 X server (tools/lib/xorg.sh), which the saver switches
# to 640 x 480, for a few seconds, saving a screenshot under build/.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash tools/install-deps.sh
mkdir -p build

# shellcheck source=lib/xorg.sh
source tools/lib/xorg.sh
# shellcheck source=lib/wine-prefix.sh
source tools/lib/wine-prefix.sh

# The 32-bit product where 32-bit programs can run, else its 64-bit twin under wine64.
if wine_can_run_32bit; then preset=win32; else preset=win64; fi
cmake --preset "$preset" >build/configure-$preset.log 2>&1 || { cat build/configure-$preset.log; exit 1; }
cmake --build --preset "$preset" --target glimra >build/build-saver.log 2>&1 ||
  { tail -n 40 build/build-saver.log; exit 1; }
saver=$PWD/build/$preset/glimra.scr

wine_select "$saver"
wine=$WINE
wine_prefix_ensure "$PWD/build/quick-start/prefix"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Glimra runs in a 640x480 Wine desktop window; press a key or click in it to end."
  exec "$wine" explorer /desktop=Glimra,640x480 "$saver" /s
fi

# No display: a private one, a few seconds of the saver, a screenshot.
out=$PWD/build/pictures
mkdir -p "$out"
trap 'wineserver -k 2>/dev/null || true; xorg_stop' EXIT
XORG_DIR=$PWD/build/quick-start/display xorg_start 1024x768
"$wine" "$saver" /s &
saver_pid=$!
x_find_window 20 --classname glimra.scr >/dev/null
sleep 3
xwd -root -silent | /usr/bin/convert xwd:- "$out/saver-under-wine.png"
xdotool key space
for _ in $(seq 100); do kill -0 $saver_pid 2>/dev/null || break; sleep 0.1; done
echo "No display here: Glimra ran on a private X server for a few seconds."
echo "Screenshot of the running saver: $out/saver-under-wine.png"
