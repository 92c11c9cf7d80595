#!/usr/bin/env bash
# How tools/test-all.sh counts a stage of PASS/FAIL lines: tiny fake stages, each with the counts
# it must give. A stage that dies or says nothing must never count as passed.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=../tools/lib/stage-counts.sh
source "$root/tools/lib/stage-counts.sh"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
bad=0
# Each case: the fake stage (a shell command), then "PASSED FAILED".
cases=(
  'echo "PASS a"; echo "PASS b"'                  '2 0'
  'echo "PASS a"; echo "FAIL b"; exit 1'          '1 1'
  'echo "PASS a"; exit 3'                         '1 1' # died before its next check
  'exit 1'                                        '0 1' # failed before any check
  'true'                                          '0 1' # printed no result
  'echo "building..."'                            '0 1' # printed no result line
  'echo "FAIL a"'                                 '0 1' # a FAIL line, though the stage exited 0
)
for ((i = 0; i < ${#cases[@]}; i += 2)); do
  bash -c "${cases[i]}" >"$log" 2>/dev/null
  got=$(stage_counts "$log" $?)
  if [ "$got" != "${cases[i + 1]}" ]; then
    echo "FAILED: stage '${cases[i]}' counted '$got', expected '${cases[i + 1]}'" >&2
    bad=1
  fi
done
exit "$bad"
