# shellcheck shell=bash
# The counts of a test stage that reports one "PASS name" or "FAIL name" line a check (the
# fuzzers, the package checks), sourced (not run) by tools/test-all.sh.
#   stage_counts LOG STATUS  prints "PASSED FAILED" for the stage's log and exit status. A stage
#                            that exits non-zero without a FAIL line (it died part-way), or that
#                            prints no result at all, counts one failure more: it never passes
#                            by saying nothing.
stage_counts() {
  local log=${1:?usage: stage_counts LOG STATUS} status=${2:?usage: stage_counts LOG STATUS}
  local pass fail
  pass=$(grep -c '^PASS' "$log")
  fail=$(grep -c '^FAIL' "$log")
  if { [ "$status" -ne 0 ] && [ "$fail" -eq 0 ]; } || [ $((pass + fail)) -eq 0 ]; then
    fail=$((fail + 1))
  fi
  echo "$pass $fail"
}
