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
# wixl 0.101 drops IncludeMaximum: set "maximum inclusive" (0x200) on the row that finds older
# versions, so that a rebuild of the same version replaces the installed one too.
msiinfo export "$out" Upgrade >Upgrade.idt
sed -i -E 's/\t256(\t\tGLIMRA_OLDER_FOUND)/\t768\1/' Upgrade.idt
if ! grep -q $'\t768\t\tGLIMRA_OLDER_FOUND' Upgrade.idt; then
  echo "build-msi.sh: the Upgrade table is not as expected" >&2
  exit 1
fi
msibuild "$out" -i Upgrade.idt
