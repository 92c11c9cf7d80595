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
# Two attributes that wixl 0.101 cannot write, set in its tables afterwards:
# - "maximum inclusive" (0x200) on the row that finds older versions, so that a rebuild of the
#   same version replaces the installed one too (wixl drops IncludeMaximum);
# - "permanent" (0x10) on the component that makes Glimra the current saver: the package's
#   uninstall deletes SCRNSAVE.EXE itself, and only while it still names glimra.scr.
patch_table() { # patch_table TABLE SED_EXPRESSION PATTERN_OF_THE_CHANGED_LINE
  msiinfo export "$out" "$1" >"$1.idt"
  sed -i -E "$2" "$1.idt"
  if ! grep -qP -- "$3" "$1.idt"; then
    echo "build-msi.sh: the $1 table is not as expected" >&2
    exit 1
  fi
  msibuild "$out" -i "$1.idt"
}
patch_table Upgrade 's/\t256(\t\tGLIMRA_OLDER_FOUND)/\t768\1/' '\t768\t\tGLIMRA_OLDER_FOUND'
patch_table Component 's/^(CurrentSaver\t[^\t]*\tTARGETDIR\t)4\t/\120\t/' '^CurrentSaver\t[^\t]*\tTARGETDIR\t20\t'
