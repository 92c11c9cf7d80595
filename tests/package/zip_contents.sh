#!/usr/bin/env bash
# The portable zip: exactly glimra.scr (the build's), LICENSE.txt and README.txt, the texts with
# CRLF line ends, the README naming the version and both system folders.
#   zip_contents.sh ZIP GLIMRA.SCR VERSION
set -euo pipefail
zip=${1:?usage: zip_contents.sh ZIP GLIMRA.SCR VERSION}
scr=${2:?usage: zip_contents.sh ZIP GLIMRA.SCR VERSION}
version=${3:?usage: zip_contents.sh ZIP GLIMRA.SCR VERSION}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
unzip -q "$zip" -d "$dir"
bad=0
names=$(cd "$dir" && find . -mindepth 1 -printf '%P\n' | sort | tr '\n' ' ')
[ "$names" = "LICENSE.txt README.txt glimra.scr " ] || { echo "zip holds: $names" >&2; bad=1; }
cmp -s "$dir/glimra.scr" "$scr" || { echo "glimra.scr differs from the build" >&2; bad=1; }
for text in LICENSE.txt README.txt; do
  if grep -qv $'\r$' "$dir/$text"; then
    echo "$text has a line without CRLF" >&2
    bad=1
  fi
done
cmp -s <(tr -d '\r' <"$dir/LICENSE.txt") "$root/LICENSE" || { echo "LICENSE.txt differs" >&2; bad=1; }
for want in "Glimra $version" 'C:\Windows\SysWOW64' 'C:\Windows\System32' '"Install"'; do
  grep -qF -- "$want" "$dir/README.txt" || { echo "README.txt lacks $want" >&2; bad=1; }
done
exit "$bad"
