#!/usr/bin/env bash
# Builds the Windows installer from packaging/windows/glimra.wxs with wixl:
#   tools/build-msi.sh VERSION GLIMRA.SCR OUT.msi
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
usage="usage: build-msi.sh VERSION GLIMRA.SCR OUT.msi"
version=${1:?$usage}
scr=$(realpath "${2:?$usage}")
out=$(realpath "${3:?$usage}")
# wixl finds the files only by names relative to the current folder, so they are staged.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$scr" "$stage/glimra.scr"
cp "$root/resources/glimra.ico" "$stage/glimra.ico"
cp "$root/LICENSE" "$stage/LICENSE"
cd "$stage"
wixl -a x86 -D "Version=$version" -D ScrFile=glimra.scr -D IconFile=glimra.ico \
  -D LicenseFile=LICENSE -o "$out" "$root/packaging/windows/glimra.wxs"
# What wixl 0.101 cannot write, set in its tables afterwards:
# - on the row that finds older versions, "maximum inclusive" (0x200), so that a rebuild of the
#   same version replaces the installed one too (wixl drops IncludeMaximum), and "migrate
#   features" (0x1), so that an upgrade installs the features that were installed (wixl refuses
#   MigrateFeatures);
# - on the two components that make Glimra the current saver, "permanent" (0x10): the package's
#   uninstall deletes SCRNSAVE.EXE itself, and only while it still names glimra.scr;
# - and their conditions (wixl refuses a Condition in a Component): SCRNSAVE.EXE is written by a
#   first install, and by an upgrade only while it still names this file; ScreenSaveActive by a
#   first install only. So an upgrade keeps a saver the user chose since, or none, or the saver
#   turned off, also where the installer does not migrate features (Wine's msiexec, which also
#   removes the older package without UPGRADINGPRODUCTCODE, so that its uninstall deletes a
#   SCRNSAVE.EXE that names Glimra: the newer package, whose condition held, writes it again).
patch_table() { # patch_table TABLE SED_EXPRESSION PATTERN_OF_THE_CHANGED_LINE
  msiinfo export "$out" "$1" >"$1.idt"
  sed -i -E "$2" "$1.idt"
  if ! grep -qP -- "$3" "$1.idt"; then
    echo "build-msi.sh: the $1 table is not as expected" >&2
    exit 1
  fi
  msibuild "$out" -i "$1.idt"
}
patch_table Upgrade 's/\t256(\t\tGLIMRA_OLDER_FOUND)/\t769\1/' '\t769\t\tGLIMRA_OLDER_FOUND'
first='NOT GLIMRA_OLDER_FOUND'
still_ours="$first OR CURRENT_SAVER~=OUR_SAVER_PATH"
patch_table Component "s/^(CurrentSaver\t[^\t]*\tTARGETDIR\t)4\t\t/\120\t$still_ours\t/" \
  "^CurrentSaver\t[^\t]*\tTARGETDIR\t20\t\Q$still_ours\E\t"
patch_table Component "s/^(SaverOn\t[^\t]*\tTARGETDIR\t)4\t\t/\120\t$first\t/" \
  "^SaverOn\t[^\t]*\tTARGETDIR\t20\t\Q$first\E\t"
