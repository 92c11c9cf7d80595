#!/usr/bin/env bash
# Makes the release of the current commit in two fresh clones at different paths and compares
# the artifacts: glimra.scr, the zip and the .deb must be byte-identical; the installer is not
# expected to be (wixl gives every package new product and package codes and the time of its
# making). Not part of tools/test-all.sh: two full release builds take a few minutes.
#   bash tools/check-reproducible.sh
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$root/build/reproducible
rm -rf "$work"
a=$work/a
b=$work/second/clone-at-a-longer-path
for clone in "$a" "$b"; do
  git clone -q "$root" "$clone"
  echo "== release in $clone" >&2
  bash "$clone/tools/release.sh" >"$clone.log" 2>&1 || { tail -n 30 "$clone.log" >&2; exit 1; }
done

version=$(bash "$root/tools/project-version.sh")
bad=0
for artifact in release-build/win32/glimra.scr "release/glimra-$version-x86.zip" \
  "release/glimra_$version-1_amd64.deb" "release/glimra-$version-x86.msi"; do
  first=$(sha256sum <"$a/build/$artifact" | cut -d' ' -f1)
  second=$(sha256sum <"$b/build/$artifact" | cut -d' ' -f1)
  if [ "$first" = "$second" ]; then
    echo "same      $first  ${artifact##*/}"
  elif [[ $artifact == *.msi ]]; then
    echo "differs   (expected)  ${artifact##*/}"
  else
    echo "DIFFERS   $first / $second  ${artifact##*/}"
    bad=1
  fi
done
exit "$bad"
