#!/usr/bin/env bash
# Makes a release from clean build folders: build/release/ receives the Windows installer, the
# portable zip, the Debian package and SHA256SUMS. Every time stamp is the last commit's, so two
# runs on the same commit give the same glimra.scr, zip and .deb (the installer differs: wixl
# gives each package new product and package codes).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
bash tools/install-deps.sh

# shellcheck source=lib/release-paths.sh
source tools/lib/release-paths.sh
release_paths "$root"
version=$RELEASE_VERSION
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export TZ=UTC LC_ALL=C.UTF-8
if [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then
  echo "release.sh: warning: the checkout has uncommitted changes" >&2
fi
out=$RELEASE_DIR
work=$RELEASE_WORK
rm -rf "$out" "$work"
mkdir -p "$out" "$work"

echo "== glimra.scr" >&2
cmake --preset release-win32 >"$work/configure-win32.log"
cmake --build --preset release-win32 --target glimra >"$work/build-win32.log"
scr=$RELEASE_SCR

echo "== ${RELEASE_MSI##*/}" >&2
bash tools/build-msi.sh "$version" "$scr" "$RELEASE_MSI"

echo "== ${RELEASE_ZIP##*/}" >&2
zipdir=$work/zip
mkdir -p "$zipdir"
cp "$scr" "$zipdir/glimra.scr"
sed 's/$/\r/' LICENSE >"$zipdir/LICENSE.txt"
sed "s/@VERSION@/$version/g; s/\$/\r/" packaging/windows/README.txt >"$zipdir/README.txt"
touch -d "@$SOURCE_DATE_EPOCH" "$zipdir"/*
(cd "$zipdir" && zip -q -X -9 "$RELEASE_ZIP" LICENSE.txt README.txt glimra.scr)

echo "== the .deb" >&2
(
  # Debian's hardening flags (CMake reads CFLAGS, CXXFLAGS and LDFLAGS, not CPPFLAGS).
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
  export CFLAGS CXXFLAGS LDFLAGS
  cmake --preset release-native >"$work/configure-native.log"
  cmake --build --preset release-native >"$work/build-native.log"
  cpack --config "$work/native/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log"
)
# The name CPack gave it (version, revision, architecture).
deb=$(one_deb "$work/cpack")
echo "   ${deb##*/}" >&2
cp "$deb" "$out/"

(cd "$out" && sha256sum -- *.msi *.zip *.deb >SHA256SUMS)
ls -l "$out" >&2
