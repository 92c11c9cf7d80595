#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test; ends with one line
# "N passed, N failed" summed over all test runs (shellcheck over the scripts counts as one).
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
bash tools/install-deps.sh || { echo "installing the dependencies failed" >&2; exit 1; }

passed=0
failed=0
# Adds ctest's counts from its summary line ("NN% tests passed, F tests failed out of T").
count() {
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then
    failed=$((failed + 1))
    return
  fi
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

# Shows a log of "PASS name" and "FAIL name" lines (the fuzzers', the package checks') and adds
# its counts; the stage's exit status counts too (tools/lib/stage-counts.sh).
# shellcheck source=lib/stage-counts.sh
source tools/lib/stage-counts.sh
count_lines() { # count_lines LOG STATUS
  local p f
  cat "$1" >&2
  read -r p f < <(stage_counts "$1" "$2")
  [ "$2" -eq 0 ] || echo "${1##*/}: the stage exited with status $2" >&2
  passed=$((passed + p))
  failed=$((failed + f))
}

# Configures and builds a preset; a failure counts as one failed test.
build_preset() {
  local preset=$1
  mkdir -p build
  echo "== $preset: configure and build" >&2
  if ! cmake --preset "$preset" >build/configure-$preset.log 2>&1 ||
    ! cmake --build --preset "$preset" >build/build-$preset.log 2>&1; then
    tail -n 40 build/configure-$preset.log build/build-$preset.log >&2
    echo "$preset: build failed" >&2
    failed=$((failed + 1))
    return 1
  fi
}

# The output of each failed test in a ctest log (the presets print it on failure), so that a
# failure that does not come back is still on record; at most 60 lines a test.
show_failures() {
  awk '/^ *[0-9]+\/[0-9]+ Test +#/ { shown = 0; show = /\*\*\*/ }
       /^ +Start +[0-9]+:/ { show = 0 }
       show && shown++ < 60' "$1" >&2
}

run_preset() {
  local preset=$1 log=build/ctest-$1.log
  build_preset "$preset" || return
  echo "== $preset: tests" >&2
  ctest --preset "$preset" 2>&1 | tee "$log" | grep -E '\*\*\*|\(Failed\)|tests passed' >&2
  show_failures "$log"
  count "$log"
}

# Every shell script of the repository (a .sh name or a shell's #! line) at shellcheck's warning
# level; one test.
run_shellcheck() {
  local scripts=() f log=build/shellcheck.log
  mkdir -p build
  while IFS= read -r f; do
    [ -f "$f" ] || continue
    case $f in
      *.sh) scripts+=("$f") ;;
      *) head -n 1 "$f" | grep -qE '^#!.*[/ ](ba)?sh( |$)' && scripts+=("$f") ;;
    esac
  done < <(git ls-files 2>/dev/null || find . -path ./build -prune -o -type f -print)
  echo "== shellcheck: ${#scripts[@]} scripts" >&2
  if shellcheck -S warning "${scripts[@]}" >"$log" 2>&1; then
    passed=$((passed + 1))
  else
    cat "$log" >&2
    echo "shellcheck: warnings (see $log)" >&2
    failed=$((failed + 1))
  fi
}

# Each fuzz target runs for a bounded time; each counts as one test.
run_fuzzers() {
  local log=build/fuzz-summary.log
  mkdir -p build
  echo "== fuzz: build and run each target" >&2
  bash tools/run-fuzzers.sh >"$log"
  count_lines "$log" $?
}

# The release (installer, zip, Debian package) from clean build folders, then the checks of each;
# each check counts as one test.
run_packages() {
  local log=build/package-summary.log
  mkdir -p build
  echo "== packages: tools/release.sh, then the checks of its artifacts" >&2
  if ! bash tools/release.sh >build/release.log 2>&1; then
    tail -n 40 build/release.log >&2
    echo "release: build failed" >&2
    failed=$((failed + 1))
    return
  fi
  bash tests/package/run.sh >"$log"
  count_lines "$log" $?
}

# Can this kernel run 32-bit programs (and so 32-bit Wine)?
# (In a subshell: the Wine helper's settings stay out of the stages.)
# shellcheck source=lib/wine-prefix.sh
can_run_32bit() { (source tools/lib/wine-prefix.sh && wine_can_run_32bit); }

run_shellcheck
run_preset native
# The browser page: built with Emscripten, tested in headless Chromium against the native tools.
run_preset web
run_preset asan
run_fuzzers
if can_run_32bit; then
  run_preset win32
else
  # glimra.scr is still built as the 32-bit program; its tests run in the 64-bit twin below.
  echo "== win32: this kernel cannot run 32-bit programs; building only" >&2
  build_preset win32 || true
fi
run_preset win64
run_packages

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
