#!/usr/bin/env bash
# Checks the project's include edges against cmake/include_edges.txt: every quoted include of a
# project header from another top-level folder must be allowed there, and no script under tools/
# may source one under tests/. Prints each wrong-way include; exit code 1 when there is one.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 2

declare -A allowed
while IFS=: read -r folder targets; do
  [[ -z $folder || $folder == \#* ]] && continue
  allowed[$folder]=" $targets "
done <cmake/include_edges.txt

bad=0
# Allowed when the target is the folder's own, or its folder or itself is listed.
edge_allowed() {
  local from=$1 target=$2
  [[ ${target%%/*} == "$from" ]] && return 0
  [[ -v allowed[$from] ]] || return 1
  [[ ${allowed[$from]} == *" ${target%%/*} "* || ${allowed[$from]} == *" $target "* ]]
}

while IFS= read -r file; do
  [ -f "$file" ] || continue
  from=${file%%/*}
  while IFS= read -r target; do
    # Only project headers named from the root count; a name beside the file is its own folder's.
    [[ -e $target && ! -e $(dirname "$file")/$target ]] || continue
    if ! edge_allowed "$from" "$target"; then
      echo "$file: includes $target, which $from/ may not use" >&2
      bad=1
    fi
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/p' "$file")
done < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h' '*.c' '*.rc' | grep '/')

# Test scripts are the tests' own: tools may share helpers with them only from tools/.
while IFS= read -r script; do
  if grep -nE '^[[:space:]]*(source|\.)[[:space:]].*tests/' "$script" >&2; then
    echo "$script: sources a test script" >&2
    bad=1
  fi
done < <(git ls-files 'tools/*.sh' 'tools/**/*.sh')

[ "$bad" -eq 0 ] && echo "include edges: all allowed"
exit "$bad"
