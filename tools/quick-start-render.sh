#!/usr/bin/env bash
# Installs what is missing, builds the native preset and renders the default rings headlessly:
# an animated GIF of 60 frames and a PNG of the last one, under build/, and says where they are.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash tools/install-deps.sh
mkdir -p build
cmake --preset native >build/configure-native.log 2>&1 || { cat build/configure-native.log; exit 1; }
cmake --build --preset native --target glimra-render >build/build-render.log 2>&1 ||
  { tail -n 40 build/build-render.log; exit 1; }
out=build/pictures
mkdir -p "$out"
# The settings file of /etc/glimra if there is one, otherwise the defaults.
build/native/render/glimra-render --frames 60 --gif "$out/glimra.gif" --out "$out/glimra.png"
echo "Animated GIF (60 frames, 50 ms each): $PWD/$out/glimra.gif"
echo "Last frame as PNG:                    $PWD/$out/glimra.png"
