#!/usr/bin/env bash
# Builds the fuzz targets (preset `fuzz`) and runs each from its seeds in fuzz/corpus/<name>/ for
# SECONDS (default 30; GLIMRA_FUZZ_SECONDS also sets it). Prints one line per target, "PASS name:
# N runs" or "FAIL name", and exits non-zero when any failed. New inputs go to a scratch folder;
# crashes are kept in build/fuzz/artifacts/ and each target's output in build/fuzz/<name>.log.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
seconds=${1:-${GLIMRA_FUZZ_SECONDS:-30}}
mkdir -p build
if ! cmake --preset fuzz >build/configure-fuzz.log 2>&1 ||
  ! cmake --build --preset fuzz >build/build-fuzz.log 2>&1; then
  tail -n 40 build/configure-fuzz.log build/build-fuzz.log >&2
  echo "FAIL build of the fuzz targets"
  exit 1
fi
mkdir -p build/fuzz/artifacts
status=0
for target in build/fuzz/fuzz/*_fuzzer; do
  name=$(basename "$target" _fuzzer)
  log=build/fuzz/$name.log
  scratch=$(mktemp -d)
  mkdir -p "$scratch/corpus" "$scratch/tmp"
  # The targets that read the settings file know its tokens.
  dict=()
  [ "$name" = command_tail ] || dict=(-dict=fuzz/ini.dict)
  # TMPDIR: the targets keep their settings file there; libFuzzer may end without exit handlers.
  if TMPDIR=$scratch/tmp "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$name-" "${dict[@]}" \
    "$scratch/corpus" "fuzz/corpus/$name" >"$log" 2>&1; then
    runs=$(grep -Eo 'number_of_executed_units: [0-9]+' "$log" | grep -Eo '[0-9]+$')
    echo "PASS $name: $runs runs in $seconds s"
  else
    echo "FAIL $name (see $log and build/fuzz/artifacts/)"
    grep -E 'ERROR|broken rule|SUMMARY' "$log" | head -n 5 >&2
    status=1
  fi
  rm -rf "$scratch"
done
exit $status
