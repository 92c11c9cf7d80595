#!/usr/bin/env bash
# glimra.scr's resources as Windows reads them: the version resource carries the CMake version and
# the names, string 1 is the name in the screen saver list, and there is no manifest (one with an
# execution level would stop Windows from virtualising the save of Tovalesk.ini).
#   scr_resources.sh GLIMRA.SCR VERSION
set -euo pipefail
scr=${1:?usage: scr_resources.sh GLIMRA.SCR VERSION}
version=${2:?usage: scr_resources.sh GLIMRA.SCR VERSION}
IFS=. read -r major minor patch tweak <<<"$version"
numbers="${major:-0}, ${minor:-0}, ${patch:-0}, ${tweak:-0}"

script=$(i686-w64-mingw32-windres -i "$scr" -O rc)
stringtable=$(sed -n '/^STRINGTABLE/,/^END/p' <<<"$script")
bad=0
for want in " FILEVERSION $numbers" " PRODUCTVERSION $numbers" \
  "VALUE \"FileVersion\", \"$version\"" "VALUE \"ProductVersion\", \"$version\"" \
  'VALUE "FileDescription", "Glimra screen saver"' 'VALUE "ProductName", "Glimra"' \
  'VALUE "CompanyName", "The Glimra authors"' 'VALUE "OriginalFilename", "glimra.scr"'; do
  grep -qF -- "$want" <<<"$script" || { echo "missing: $want" >&2; bad=1; }
done
grep -qF -- 'LegalCopyright", "Copyright (c) ' <<<"$script" || { echo "no LegalCopyright" >&2; bad=1; }
grep -qxF '  1, "Glimra"' <<<"$stringtable" || { echo "string 1 is not \"Glimra\"" >&2; bad=1; }
if grep -qi manifest <<<"$script"; then
  echo "glimra.scr has a manifest resource" >&2
  bad=1
fi
exit "$bad"
