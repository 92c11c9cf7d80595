#!/usr/bin/env bash
# Runs the checks of the artifacts that tools/release.sh wrote in build/release, one line each:
# "PASS name" or "FAIL name" (the failing check's own lines go to stderr); exits non-zero when any
# check failed.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
here=$root/tests/package
# shellcheck source=../../tools/lib/release-paths.sh
source "$root/tools/lib/release-paths.sh"
release_paths "$root" || exit 1
version=$RELEASE_VERSION
scr=$RELEASE_SCR

status=0
run() {
  local name=$1
  shift
  if "$@"; then echo "PASS $name"; else echo "FAIL $name" && status=1; fi
}
run scr_resources bash "$here/scr_resources.sh" "$scr" "$version"
run zip_contents bash "$here/zip_contents.sh" "$RELEASE_ZIP" "$scr" "$version"
run msi_wine bash "$here/msi_wine.sh" "$RELEASE_MSI" "$scr" "$version"
run deb_install bash "$here/deb_install.sh" "${RELEASE_DEB:-$(one_deb "$RELEASE_DIR")}"
exit "$status"
