# shellcheck shell=bash
# Where tools/release.sh builds and writes a release in a checkout, sourced (not run) by it and by
# the scripts that check or compare the artifacts.
#   release_paths ROOT  sets RELEASE_VERSION, RELEASE_DIR (ROOT/build/release), RELEASE_WORK (its
#                       build folders), RELEASE_SCR (the built glimra.scr), RELEASE_MSI,
#                       RELEASE_ZIP and RELEASE_DEB (the .deb in RELEASE_DIR, empty before the
#                       release made it)
#   one_deb FOLDER      the one .deb in FOLDER; fails, saying so, when there is none or several
# The .deb's name is the one CPack gives it, glimra_VERSION-REVISION_ARCHITECTURE.deb: the revision
# is set in packaging/CMakeLists.txt, the architecture is the building machine's.
# shellcheck disable=SC2034  # the names are for the scripts that source this file
release_paths() {
  local root=${1:?usage: release_paths ROOT}
  RELEASE_VERSION=$(bash "$root/tools/project-version.sh") || return 1
  RELEASE_DIR=$root/build/release
  RELEASE_WORK=$root/build/release-build
  RELEASE_SCR=$RELEASE_WORK/win32/glimra.scr
  RELEASE_MSI=$RELEASE_DIR/glimra-$RELEASE_VERSION-x86.msi
  RELEASE_ZIP=$RELEASE_DIR/glimra-$RELEASE_VERSION-x86.zip
  RELEASE_DEB=$(one_deb "$RELEASE_DIR" 2>/dev/null) || RELEASE_DEB=
}

one_deb() {
  local folder=${1:?usage: one_deb FOLDER} debs
  debs=("$folder"/*.deb)
  if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "expected one .deb in $folder, found: ${debs[*]}" >&2
    return 1
  fi
  echo "${debs[0]}"
}
