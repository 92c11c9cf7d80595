# shellcheck shell=bash
# Where tools/release.sh builds and writes a release in a checkout, sourced (not run) by it and by
# the scripts that check or compare the artifacts.
#   release_paths ROOT  sets RELEASE_VERSION, RELEASE_DIR (ROOT/build/release), RELEASE_WORK (its
#                       build folders), RELEASE_SCR (the built glimra.scr), RELEASE_MSI,
#                       RELEASE_ZIP and RELEASE_DEB
# shellcheck disable=SC2034  # the names are for the scripts that source this file
release_paths() {
  local root=${1:?usage: release_paths ROOT}
  RELEASE_VERSION=$(bash "$root/tools/project-version.sh") || return 1
  RELEASE_DIR=$root/build/release
  RELEASE_WORK=$root/build/release-build
  RELEASE_SCR=$RELEASE_WORK/win32/glimra.scr
  RELEASE_MSI=$RELEASE_DIR/glimra-$RELEASE_VERSION-x86.msi
  RELEASE_ZIP=$RELEASE_DIR/glimra-$RELEASE_VERSION-x86.zip
  RELEASE_DEB=$RELEASE_DIR/glimra_$RELEASE_VERSION-1_amd64.deb
}
