#!/usr/bin/env bash
# Runs the checks of the artifacts that tools/release.sh wrote in build/release, one line each:
# "PASS name" or "FAIL name" (the failing check's own lines go to stderr).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
here=$root/tests/package
version=$(bash "$root/tools/project-version.sh") || exit 1
release=$root/build/release
scr=$root/build/release-build/win32/glimra.scr

run() {
  local name=$1
  shift
  if "$@"; then echo "PASS $name"; else echo "FAIL $name"; fi
}
run scr_resources bash "$here/scr_resources.sh" "$scr" "$version"
run zip_contents bash "$here/zip_contents.sh" "$release/glimra-$version-x86.zip" "$scr" "$version"
run msi_wine bash "$here/msi_wine.sh" "$release/glimra-$version-x86.msi" "$scr" "$version"
run deb_install bash "$here/deb_install.sh" "$release/glimra_$version-1_amd64.deb"
