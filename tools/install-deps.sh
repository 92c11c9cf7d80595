#!/usr/bin/env bash
# Installs, on Debian 12 as root, everything the builds, the tests and the tools need.
# Safe to run again: apt skips what is already there.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
pkgs=(
  cmake make g++ clang clang-format libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libpng-dev libgif-dev
  libx11-dev libxext-dev libxrender-dev libxrandr-dev libxinerama-dev
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
  wine wine64 wine32:i386 fonts-wine
  libgl1 libgl1-mesa-dri libxrandr2 libxrender1 libxcursor1 libxi6 libxinerama1
  libxcomposite1 libxfixes3 libxxf86vm1
  libgl1:i386 libgl1-mesa-dri:i386 libxrandr2:i386 libxrender1:i386 libxcursor1:i386
  libxi6:i386 libxinerama1:i386 libxcomposite1:i386 libxfixes3:i386 libxxf86vm1:i386
  xsecurelock
  xvfb xdotool imagemagick x11-utils x11-apps x11-xserver-utils shellcheck
  xserver-xorg-core xserver-xorg-video-dummy
  libwayland-dev wayland-protocols libxkbcommon-dev sway grim wtype swayidle wayvnc
  fonts-ipafont-gothic locales procps file
  emscripten nodejs chromium
  wixl msitools lintian zip unzip fakeroot dpkg-dev man-db desktop-file-utils git
)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}" >&2
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# The dialog's texts need the Japanese locale for Wine's ANSI code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi
# Only for benchmarks/x11-cpu-compare.sh (not for the tests): XScreenSaver's `interference` hack.
if [ "${1:-}" = --x11-measure ] &&
  ! dpkg-query -W -f='${Status}' xscreensaver-data-extra 2>/dev/null | grep -q "ok installed"; then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends xscreensaver-data-extra >/dev/null
fi
