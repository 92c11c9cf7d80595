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

# shellcheck source=lib/release-paths.sh
source "$root/tools/lib/release-paths.sh"
artifacts() {
  release_paths "$1"
  echo "$RELEASE_SCR" "$RELEASE_ZIP" "$RELEASE_DEB" "$RELEASE_MSI"
}
read -r -a in_a <<<"$(artifacts "$a")"
read -r -a in_b <<<"$(artifacts "$b")"
bad=0
for i in "${!in_a[@]}"; do
  artifact=${in_a[i]##*/}
  first=$(sha256sum <"${in_a[i]}" | cut -d' ' -f1)
  second=$(sha256sum <"${in_b[i]}" | cut -d' ' -f1)
  if [ "$first" = "$second" ]; then
    echo "same      $first  $artifact"
  elif [[ $artifact == *.msi ]]; then
    echo "differs   (expected)  $artifact"
  else
    echo "DIFFERS   $first / $second  $artifact"
    bad=1
  fi
done
exit "$bad"
